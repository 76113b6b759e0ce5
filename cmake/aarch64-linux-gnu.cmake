# Cross-compiles for 64-bit ARM Linux (Raspberry Pi OS 64-bit, arm64 Debian
# and Ubuntu) with Debian's g++-aarch64-linux-gnu. Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...
# The tests of such a build run under qemu-aarch64 (qemu-user), which finds
# the target's C and C++ runtimes in the cross compiler's folder.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(VARNOLET_LINUX_TRIPLET aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${VARNOLET_LINUX_TRIPLET})
