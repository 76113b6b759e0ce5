# Cross-compiles for 32-bit x86 Windows with MinGW-w64 (Debian's
# g++-mingw-w64-i686-posix). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake ...
# The tests of such a build run under 32-bit Wine (wine32, see platforms.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VARNOLET_MINGW_TRIPLET i686-w64-mingw32)
# The POSIX thread model: std::thread and std::mutex need it with GCC 12.
set(CMAKE_C_COMPILER ${VARNOLET_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNOLET_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNOLET_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOLET_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
