# The Windows build: the program, its tools, and the tests that run under Wine.
enable_language(RC)

# Programs and DLLs side by side, so that tests find the server and the phone simulator beside them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

target_compile_definitions(palvenor_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601)
# The version block and the languages the build wrote.
target_include_directories(palvenor_options INTERFACE ${CMAKE_BINARY_DIR}/generated)
if(NOT MSVC)
  # No folder of the machine that built it goes into a program: the same commit gives the same bytes.
  target_compile_options(palvenor_options INTERFACE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
  # Nor the time of a link: a program linked earlier in the same folder is the same bytes.
  target_link_options(palvenor_options INTERFACE -Wl,--no-insert-timestamp)
  # MinGW's wWinMain entry and its __wargv.
  set(UNICODE_ENTRY -municode)
endif()

# The injection seam's Windows side, linked after the core that calls it. The benchmark links
# a recorder in its place.
add_library(palvenor_inject STATIC src/input/inject_win32.cpp)
target_link_libraries(palvenor_inject PUBLIC user32 palvenor_options)
target_include_directories(palvenor_inject PRIVATE src)

# Everything but the entry point, so that the tests drive the same code in their own process.
add_library(palvenor_win STATIC
  src/base/ui_thread.cpp
  src/net/connection.cpp
  src/net/receiver.cpp
  src/net/monitor.cpp
  src/net/owner_session.cpp
  src/net/trust_store.cpp
  src/net/device_name.cpp
  src/pc/host.cpp
  src/pc/network_category.cpp
  src/pc/firewall.cpp
  src/pc/foreground.cpp
  src/pc/responsiveness.cpp
  src/advertise/advertise.cpp
  src/advertise/windows_dns_sd.cpp
  src/app/window.cpp
  src/app/status_window.cpp
  src/app/commands.cpp
  src/app/status_layout.cpp
  src/app/firewall_view.cpp
  src/app/network_change.cpp
  src/app/connection_view.cpp
  src/app/phone_status.cpp
  src/app/host_view.cpp
  src/app/elevated_window_view.cpp
  src/app/serving.cpp
  src/app/session_watch.cpp
  src/app/quit.cpp
  src/app/trust_prompt.cpp
  src/app/device_trust.cpp
  src/app/trusted_window.cpp
  src/app/texts.cpp
  src/app/advertisement_view.cpp
  src/app/tray.cpp
  src/app/link_label.cpp
  src/app/startup.cpp
  src/autostart/shortcut.cpp
  src/autostart/installer_choice.cpp)
target_link_libraries(palvenor_win PUBLIC palvenor_core palvenor_inject ws2_32 iphlpapi user32 gdi32 shell32 ole32
  oleaut32 uuid advapi32 comctl32 wtsapi32)

# The version block takes the project's version, as the installer does.
configure_file(src/resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)

include(cmake/languages.cmake)
set(PALVENOR_RESOURCES ${CMAKE_SOURCE_DIR}/src/resources/palvenor.rc)
set(RESOURCE_FILES palvenor.ico connected.ico not_connected.ico palvenor.manifest resource.h dialogs.rc)
list(TRANSFORM RESOURCE_FILES PREPEND ${CMAKE_SOURCE_DIR}/src/resources/)
set_source_files_properties(${PALVENOR_RESOURCES} PROPERTIES OBJECT_DEPENDS
  "${RESOURCE_FILES};${LANGUAGE_FILES};${LANGUAGES_OUTPUT}/languages.rc")

add_executable(PalvenorServer WIN32 src/app/main.cpp ${PALVENOR_RESOURCES})
target_link_libraries(PalvenorServer PRIVATE palvenor_win)
if(NOT MSVC)
  target_link_options(PalvenorServer PRIVATE ${UNICODE_ENTRY} $<$<CONFIG:Release>:-s>)
endif()

add_subdirectory(tools/phonesim)
# The facts the installer and the test kit share with the program.
include(cmake/wire.cmake)
add_subdirectory(tools/installer)
add_subdirectory(tools/kit)

add_subdirectory(tools/bench)
include(cmake/wine-tests.cmake)
