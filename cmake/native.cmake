# Native Linux build: the platform-free core and its unit tests under AddressSanitizer and UBSan,
# and the phone simulator.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(palvenor_core PRIVATE ${SANITIZE})

add_compile_options(${SANITIZE})
add_link_options(${SANITIZE})
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(core_tests
  tests/input/recorder.cpp
  tests/input/input_test.cpp
  tests/app/options_test.cpp)
target_link_libraries(core_tests PRIVATE palvenor_core gtest_main)
add_test(NAME core_tests COMMAND core_tests)

add_subdirectory(tools/phonesim)
