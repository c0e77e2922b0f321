# Second compiler: clang for 64-bit Windows against the MinGW-w64 headers,
# libstdc++ and import libraries, linking with lld. Used by make lint.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(sysroot /usr/${triple})
# The posix-thread libstdc++ that the MinGW GCC build uses too.
file(GLOB gcc_dir LIST_DIRECTORIES true /usr/lib/gcc/${triple}/*-posix)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR llvm-ar-14 CACHE FILEPATH "")
set(CMAKE_RANLIB llvm-ranlib-14 CACHE FILEPATH "")
set(CMAKE_SYSROOT ${sysroot})
# MinGW GCC compares type_info out of line, as libstdc++.a was built;
# clang has to be told, or both define the operator.
set(CMAKE_CXX_FLAGS_INIT "-D__GXX_TYPEINFO_EQUALITY_INLINE=0 -nostdinc++ -isystem ${gcc_dir}/include/c++ -isystem ${gcc_dir}/include/c++/${triple} -isystem ${gcc_dir}/include/c++/backward")
# std::thread of the posix libstdc++ needs winpthreads, which GCC adds by
# itself; lld finds it wherever it stands on the line. Link lines see the
# compile-only flags too.
set(link_flags "-fuse-ld=lld -L${gcc_dir} -lpthread -Wno-unused-command-line-argument")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_FIND_ROOT_PATH ${sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
