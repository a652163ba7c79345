# Every language the program and its installer speak, each one file src/resources/lang/<code>.rc;
# English first, which Windows and the installer fall back to. The resources, the installer, the
# tests, the screenshots and tools/setup.sh's locales all take the languages from this list.
set(PALVENOR_LANGUAGES en de fr es pt-BR ru zh-CN ja)

# Each configure checks that every language has every text of English, and writes what the build
# takes from the files (the resource script's includes, the language ids, the installer's texts).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(LANGUAGES_TOOL ${CMAKE_SOURCE_DIR}/tools/languages.py)
set(LANGUAGES_OUTPUT ${CMAKE_BINARY_DIR}/generated)
set(LANGUAGE_FILES)
foreach(code ${PALVENOR_LANGUAGES})
  list(APPEND LANGUAGE_FILES ${CMAKE_SOURCE_DIR}/src/resources/lang/${code}.rc)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LANGUAGES_TOOL} ${LANGUAGE_FILES})
execute_process(COMMAND ${Python3_EXECUTABLE} ${LANGUAGES_TOOL} ${CMAKE_SOURCE_DIR} ${LANGUAGES_OUTPUT}
    ${PALVENOR_LANGUAGES}
  RESULT_VARIABLE LANGUAGES_RESULT ERROR_VARIABLE LANGUAGES_ERRORS)
if(NOT LANGUAGES_RESULT EQUAL 0)
  message(FATAL_ERROR "${LANGUAGES_ERRORS}")
endif()
