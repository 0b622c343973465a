# pagelift_unit_tests(NAME SOURCES file... LIBRARIES library... [OWN_MAIN]
#                     [ENVIRONMENT var=value...])
# One subsystem's GoogleTest program: the tests folder on its include path, the sample
# pages' folder as PAGELIFT_SAMPLES, what the platform is (support/platform.h), and each
# test listed to CTest by itself, by name. In the Windows build CTest runs it under Wine. OWN_MAIN
# when one of the sources has the main function.
function(pagelift_unit_tests name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OWN_MAIN" "" "SOURCES;LIBRARIES;ENVIRONMENT")
  add_executable(${name} ${arg_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE PAGELIFT_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
  if(arg_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} pagelift_platform_reference GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} pagelift_platform_reference
      GTest::gtest_main)
  endif()
  # Parameterised suites name their cases; the values printed after the names would only
  # repeat them, or show the bytes of a table row.
  # Listing the tests under Wine may wait for Wine to start its session first.
  gtest_discover_tests(${name} NO_PRETTY_VALUES DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
endfunction()
