# Builds for 32-bit x86 Linux on an x86-64 Debian with Debian's cross
# compiler g++-i686-linux-gnu (g++-multilib would do as well, but Debian lets
# it share a machine with no other architecture's compiler, and the 64-bit ARM
# build needs one). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake ...
# The programs run natively with the i386 C and C++ runtimes (libc6:i386,
# libstdc++6:i386); only the libraries of the other architecture must not be
# picked up, hence GoogleTest is built from its sources.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
