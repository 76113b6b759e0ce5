# Builds for 32-bit x86 Linux on an x86-64 Debian with Debian's cross
# compiler g++-i686-linux-gnu (g++-multilib would do as well, but Debian lets
# it share a machine with no other architecture's compiler, and the 64-bit ARM
# build needs one). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake ...
# The programs run natively with the i386 C and C++ runtimes (libc6:i386,
# libstdc++6:i386).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(VARNOLET_LINUX_TRIPLET i686-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
