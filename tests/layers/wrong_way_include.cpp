// Compiled with the include view of one layer's target and one header that
// layer must not reach (tests/CMakeLists.txt names both): the compilation has
// to fail for want of the header.
#include WRONG_WAY_HEADER
