# Cross-builds the Windows edition on Debian with MinGW-w64 (package
# g++-mingw-w64-x86-64-posix): the POSIX thread model, so std::thread and
# std::mutex work, and everything linked statically, so Tolvanexa.exe runs on
# a bare Windows 10/11 without a single DLL beside it.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLVANEXA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVANEXA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVANEXA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVANEXA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVANEXA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools built for Windows run under Wine on the build machine; the
# test folder sets up Wine's prefix and locale around it (tests/CMakeLists.txt).
find_program(TOLVANEXA_WINE wine)
if(TOLVANEXA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVANEXA_WINE})
endif()
