# Cross build for 64-bit Windows with the MinGW-w64 (posix threads) compilers.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-gcc.cmake)
