# Cross-compiles for 32-bit x86 Windows with MinGW-w64 (Debian's
# g++-mingw-w64-i686-posix). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake ...
# The tests of such a build run under 32-bit Wine (wine32, see platforms.cmake).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VARNOLET_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
