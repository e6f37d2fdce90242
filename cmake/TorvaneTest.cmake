# torvane_add_test(NAME SOURCES... [LIBS libs...]): one test executable, its cases discovered.
include(GoogleTest)

function(torvane_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main ${ARG_LIBS})
  target_compile_features(${name} PRIVATE cxx_std_20)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)  # support/
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${ARG_PROPERTIES})
endfunction()
