# Tests of the Windows build, run under Wine in a prefix and on an Xvfb display of their own.
set(WINE_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/support/wine-run.sh ${WINE_STATE_DIR})

add_test(NAME wine_start COMMAND ${CMAKE_SOURCE_DIR}/tests/support/wine-fixture.sh start ${WINE_STATE_DIR}
  ${CMAKE_BINARY_DIR}/bin/standin/dnsapi.dll ${CMAKE_BINARY_DIR}/bin/standin/netsh.exe)
add_test(NAME wine_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/support/wine-fixture.sh stop ${WINE_STATE_DIR})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

# A GoogleTest program run under Wine, as the test TEST (its own name unless given) with the
# ARGUMENTS given. PORT marks the tests that bind port 4026 or run the server: they share one
# lock, so that ctest -j never runs two at once.
function(add_wine_test name)
  cmake_parse_arguments(ARG "PORT" "TEST" "SOURCES;LIBRARIES;ARGUMENTS" ${ARGN})
  if(NOT ARG_TEST)
    set(ARG_TEST ${name})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest)
  add_test(NAME ${ARG_TEST} COMMAND ${name} ${ARG_ARGUMENTS})
  set_tests_properties(${ARG_TEST} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900)
  if(ARG_PORT)
    set_tests_properties(${ARG_TEST} PROPERTIES RESOURCE_LOCK port4026)
  endif()
endfunction()

add_subdirectory(tests)
