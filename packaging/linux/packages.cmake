# The Linux packages, made by CPack from what `cmake --install` installs
# (the program, its desktop entry, the TXA file type, the icons, and here
# the manual page and the package's documents):
#   cpack -G DEB   varnok_<version>_<arch>.deb, the Debian package, its
#                  dependencies found by dpkg-shlibdeps from the program
#   cpack -G TGZ   varnok-<version>-linux-<arch>.tar.gz, the same files in
#                  one folder (bin/, share/) for other distributions
# ./release makes both from its own Release build (make-packages.sh).
include(GNUInstallDirs)

# The manual page, with the project's version, compressed as Debian wants
# it (-n: no name or time stamp, so equal sources give equal bytes).
set(man_page ${CMAKE_BINARY_DIR}/man/varnok.1)
configure_file(${CMAKE_CURRENT_LIST_DIR}/varnok.1 ${man_page} @ONLY)
add_custom_command(OUTPUT ${man_page}.gz
  COMMAND gzip -9nkf ${man_page}
  DEPENDS ${man_page}
  COMMENT "Compressing the manual page varnok(1)"
  VERBATIM)
add_custom_target(varnok_man_page ALL DEPENDS ${man_page}.gz)
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(VARNOK_PACKAGE_CONTACT "The varnok developers <varnok@example.org>"
    CACHE STRING "The maintainer named in the Debian package")

# The package's documents: its copyright and its changelog, which names the
# maintainer.
set(changelog ${CMAKE_BINARY_DIR}/doc/changelog)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND gzip -9nkf ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(varnok_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME varnok)
set(CPACK_PACKAGE_VENDOR "The varnok developers")
set(CPACK_PACKAGE_CONTACT "${VARNOK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list and remove extension instances in TXA files")
# The package's long description: lines of at most 80 characters, as dpkg
# shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "varnok opens the TXA file of a business application (its text export),"
    "lists every extension instance with its extension, procedure, template and"
    "lines, and writes a copy of the file without the instances ticked."
    "It has a window and a command line for scripts: list, remove, summaries as"
    "JSON, and the export of a file's lines as CSV or XML.")
set(CPACK_PACKAGE_FILE_NAME "varnok-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
