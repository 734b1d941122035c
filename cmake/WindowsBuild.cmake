# What the Windows build needs that Debian has no MinGW package of: GoogleTest, built from the
# source that the googletest package installs, with the same toolchain; it brings its own
# GTest::gtest and GTest::gtest_main.
set(VEMLO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VEMLO_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wide-character Windows calls, no min/max macros, and Windows 7 as the oldest target.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)

# The tests run under Wine in a prefix of this build folder, never the user's own, headless:
# Wine's null display driver, no display, no prompts to install its .NET or HTML engines.
set(VEMLO_WINE_PREFIX "${PROJECT_BINARY_DIR}/wine-prefix")
set(VEMLO_WINE_ENVIRONMENT
    "WINEPREFIX=${VEMLO_WINE_PREFIX}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env -u DISPLAY -u WAYLAND_DISPLAY ${VEMLO_WINE_ENVIRONMENT}
    ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_CROSSCOMPILING_EMULATOR})
if(NOT EXISTS "${VEMLO_WINE_PREFIX}/system.reg")
    message(STATUS "Creating the Wine prefix ${VEMLO_WINE_PREFIX}")
    execute_process(
        COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
        COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET ERROR_QUIET)
    execute_process(
        COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} reg add "HKCU\\Software\\Wine\\Drivers"
                /v Graphics /d null /f
        COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET ERROR_QUIET)
endif()
