# varnok_library(<name> [DEPS <libs...>])
# One static library per subsystem folder: every .cpp in the folder and in
# its service folders below it, except main.cpp, which belongs to the program,
# and window/qt/, which is a library of its own.
function(varnok_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  # window/qt/ is a library of its own (it needs Qt), built from its own folder.
  list(FILTER sources EXCLUDE REGEX "/window/qt/")
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# varnok_tests(<folder> [DEPS <libs...>])
# Every <unit>_test.cpp in the calling folder and its service folders becomes
# one test executable, registered with ctest and labelled with the top
# folder's name, so `ctest -L runtime` runs every runtime service's tests.
function(varnok_tests label)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS tests)
    get_filename_component(unit ${src} NAME_WE)
    set(target ${label}_${unit})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARG_DEPS} varnok_testsupport GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${target}
      DISCOVERY_TIMEOUT 120
      PROPERTIES LABELS ${label}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
endfunction()
