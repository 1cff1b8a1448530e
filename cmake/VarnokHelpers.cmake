# varnok_library(<name> [DEPS <libs...>] [EXCLUDE <regexes...>])
# One static library per subsystem folder: every .cpp in the folder and in
# its service folders below it, except main.cpp, which belongs to the program,
# and window/qt/ and window/win32/, which are libraries of their own.
function(varnok_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  # window/qt/ and window/win32/ are libraries of their own (they need Qt or
  # Windows), built from their own folders.
  list(FILTER sources EXCLUDE REGEX "/window/(qt|win32)/")
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# varnok_unoptimised_test_code(<target>)
# Test code is compiled without optimisation in Debug builds: the sanitizer
# instrumentation makes an optimised test file take twice as long to compile,
# while the code under test, in the libraries, keeps the build's own level.
function(varnok_unoptimised_test_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Debug>:-O0>)
endfunction()

# varnok_tests(<label> [DEPS <libs...>])
# Every <unit>_test.cpp in the calling folder and its service folders goes
# into one test executable, <label>_tests, linked with the folder's own layer
# (DEPS) and nothing above it. Tests in a qt/ folder need the Qt window layer
# and go into <label>_qt_tests instead (varnok_qt_tests), tests in a win32/
# folder need the Win32 window layer and go into <label>_win32_tests
# (varnok_win32_tests). ctest lists each
# test case on its own, labelled with the top folder's name, so
# `ctest -L runtime` runs every runtime service's tests.
function(varnok_tests label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  list(FILTER tests EXCLUDE REGEX "/(qt|win32)/")
  if(NOT tests)
    return()
  endif()
  set(target ${label}_tests)
  add_executable(${target} ${tests})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} varnok_testsupport GTest::gtest GTest::gtest_main)
  varnok_unoptimised_test_code(${target})
  varnok_register_tests(${target} ${label})
endfunction()

# varnok_layer_tests(<label> <layer> <layer library> <screenshot folder> <libs...>)
# What the tests of both window layers share: the folder's tests in <layer>/
# folders go into <label>_<layer>_tests, linked with the libraries, the
# layer and nothing above, saving pictures under build/<screenshot folder>.
# Sets layer_tests_target in the caller (empty when there are none).
function(varnok_layer_tests label layer layer_library screenshots)
  set(layer_tests_target "" PARENT_SCOPE)
  if(NOT TARGET ${layer_library})
    return()
  endif()
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  list(FILTER tests INCLUDE REGEX "/${layer}/")
  if(NOT tests)
    return()
  endif()
  set(target ${label}_${layer}_tests)
  add_executable(${target} ${tests})
  target_link_libraries(${target} PRIVATE ${ARGN} ${layer_library} varnok_testsupport GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE VARNOK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/../${screenshots}")
  varnok_unoptimised_test_code(${target})
  varnok_register_tests(${target} "${label};${layer}")
  set(layer_tests_target ${target} PARENT_SCOPE)
endfunction()

# varnok_qt_tests(<label> [DEPS <libs...>])
# The folder's tests in qt/ folders: real Qt windows through the Qt layer,
# QtTest, and screenshots under build/screenshots/ (beside the build folders).
function(varnok_qt_tests label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  varnok_layer_tests(${label} qt varnok_window_qt screenshots ${ARG_DEPS} Qt6::Test)
  if(layer_tests_target)
    target_sources(${layer_tests_target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/window/qt/leak_suppressions.cpp)
  endif()
endfunction()

# varnok_win32_tests(<label> [DEPS <libs...>])
# The folder's tests in win32/ folders: real Win32 windows through the Win32
# layer, run under Wine on a virtual X display in the cross build, with
# screenshots under build/screenshots/windows/.
function(varnok_win32_tests label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  varnok_layer_tests(${label} win32 varnok_window_win32 screenshots/windows ${ARG_DEPS})
  # The program's resources and manifest, so the tests see the controls
  # (Common Controls 6) and icons the program shows.
  if(layer_tests_target)
    varnok_windows_resources(${layer_tests_target})
  endif()
endfunction()

# Registers a test executable with ctest: natively, each test case as its
# own ctest test; in the Windows cross build, the executable runs once under
# Wine (the cross-compiling emulator), every case in one process.
function(varnok_register_tests target labels)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${target} PROPERTIES LABELS "${labels}" TIMEOUT 1800)
  else()
    gtest_discover_tests(${target}
      DISCOVERY_TIMEOUT 120
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    # The labels are set after discovery, from the list of discovered tests:
    # passed through gtest_discover_tests, a list of labels comes apart and
    # each label after the first reads as a property name.
    set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake)
    file(WRITE ${label_script}
         "if(${target}_TESTS)\n"
         "  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${labels}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
  endif()
endfunction()

# varnok_windows_resources(<target>)
# The Windows program's resources (window/win32/resources/varnok.rc) in an
# executable of the Windows build: the program icon, the check-box icons,
# the version information from the project's version, and the manifest.
# A target in the GUI subsystem (WIN32_EXECUTABLE) is described as the
# program, any other as its command line. Nothing outside Windows.
function(varnok_windows_resources target)
  if(NOT WIN32)
    return()
  endif()
  set(folder ${PROJECT_SOURCE_DIR}/window/win32/resources)
  get_target_property(gui ${target} WIN32_EXECUTABLE)
  if(gui)
    set(console 0)
  else()
    set(console 1)
  endif()
  target_sources(${target} PRIVATE ${folder}/varnok.rc)
  target_compile_definitions(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:VARNOK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
    $<$<COMPILE_LANGUAGE:RC>:VARNOK_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
    $<$<COMPILE_LANGUAGE:RC>:VARNOK_VERSION_PATCH=${PROJECT_VERSION_PATCH}>
    $<$<COMPILE_LANGUAGE:RC>:VARNOK_VERSION_DOTTED=${PROJECT_VERSION}>
    $<$<COMPILE_LANGUAGE:RC>:VARNOK_CONSOLE_PROGRAM=${console}>)
  # windres reports no dependencies: the files the script names are listed here.
  set_property(SOURCE ${folder}/varnok.rc APPEND PROPERTY OBJECT_DEPENDS
               ${folder}/varnok.ico ${folder}/boxon.ico ${folder}/boxoff.ico ${folder}/varnok.manifest)
endfunction()
