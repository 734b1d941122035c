# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the POSIX threads flavour, which the
# C++ standard library's threads need) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked, so the executables need no DLLs beside the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 puts no command on the PATH; its loader runs the tests.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
