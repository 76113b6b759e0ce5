# What the Linux cross toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR,
# CMAKE_LIBRARY_ARCHITECTURE and VARNOLET_LINUX_TRIPLET first. Debian's cross
# compilers (g++-TRIPLET) keep the target's C and C++ libraries in
# /usr/TRIPLET; the build machine's libraries must not be picked up, hence
# GoogleTest is built from its sources (platforms.cmake).
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${VARNOLET_LINUX_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VARNOLET_LINUX_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOLET_LINUX_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
