# Builds for 32-bit x86 Linux on an x86-64 Debian with g++-multilib. Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake ...
# The programs run natively; only the libraries of the other architecture
# must not be picked up, hence GoogleTest is built from its sources.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
