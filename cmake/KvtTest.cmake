# kvt_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable per test file, registered with CTest under <name>.
find_package(GTest REQUIRED)

function(kvt_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  kvt_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main pthread)
  add_test(NAME ${name} COMMAND ${name})
  # Each test runs in its own scratch folder: ".\KVT32.ini" and friends are relative to it.
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  file(MAKE_DIRECTORY ${work})
  set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${work}
                       ENVIRONMENT "KVT_MODULE_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()
