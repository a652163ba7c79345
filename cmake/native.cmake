# Native Linux build: the platform-free core and its unit tests under AddressSanitizer and UBSan,
# and the phone simulator.
# The bench preset turns the sanitizers off, so that its figures are the program's own.
option(PALVENOR_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(PALVENOR_SANITIZE)
  set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()
target_compile_options(palvenor_options INTERFACE ${SANITIZE})
target_link_options(palvenor_options INTERFACE ${SANITIZE})

add_executable(core_tests
  tests/input/recorder.cpp
  tests/input/input_test.cpp
  tests/net/connection_book_test.cpp
  tests/net/local_network_test.cpp
  tests/net/trust_test.cpp
  tests/net/trusted_list_test.cpp
  tests/pc/firewall_rules_test.cpp
  tests/pc/shown_address_test.cpp
  tests/pc/rights_test.cpp
  tests/pc/user_presence_test.cpp
  tests/app/options_test.cpp)
target_include_directories(core_tests PRIVATE tests)
target_link_libraries(core_tests PRIVATE palvenor_core GTest::gtest_main)
add_test(NAME core_tests COMMAND core_tests)

add_subdirectory(tools/phonesim)
add_subdirectory(tools/bench)

# libFuzzer targets, built with clang, each run for a bounded time by the test command. Crashes
# it finds are kept under tests/fuzz/regressions and replayed on every run.
find_program(CLANGXX clang++)
if(CLANGXX)
  set(FUZZ_FLAGS -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
      -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tests)
  set(FUZZ_input_SOURCES tests/fuzz/fuzz_input.cpp tests/input/recorder.cpp src/input/packet.cpp
      src/input/packet_codec.cpp src/input/mouse.cpp src/input/keyboard.cpp)
  set(FUZZ_options_SOURCES tests/fuzz/fuzz_options.cpp src/app/options.cpp)
  foreach(name input options)
    list(TRANSFORM FUZZ_${name}_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
    # The headers the sources include are scanned too, so that changing one builds the fuzzer anew.
    set(SCANNED)
    foreach(source ${FUZZ_${name}_SOURCES})
      list(APPEND SCANNED CXX ${source})
    endforeach()
    add_custom_command(OUTPUT fuzz_${name}
      COMMAND ${CLANGXX} ${FUZZ_FLAGS} ${FUZZ_${name}_SOURCES} -o fuzz_${name}
      DEPENDS ${FUZZ_${name}_SOURCES}
      IMPLICIT_DEPENDS ${SCANNED}
      COMMENT "Building the ${name} fuzzer with clang")
    add_custom_target(fuzz_${name}_target ALL DEPENDS fuzz_${name})
    # New inputs go to the first folder, in the build tree; the regressions are only read.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz_corpus_${name})
    add_test(NAME fuzz_${name}
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
        ${CMAKE_BINARY_DIR}/fuzz_${name} -max_total_time=20 -seed=1 -timeout=5
        ${CMAKE_BINARY_DIR}/fuzz_corpus_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions/${name})
  endforeach()
endif()

# The phone simulator as users run it, on loopback.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME phonesim_cli COMMAND ${Python3_EXECUTABLE} -m unittest -v test_phonesim
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/tools)
set_tests_properties(phonesim_cli PROPERTIES
  ENVIRONMENT "PHONESIM=$<TARGET_FILE:phonesim>;PYTHONDONTWRITEBYTECODE=1" RESOURCE_LOCK port4026)
