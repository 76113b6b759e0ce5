# Checks that an ARM binary holds no fused multiply-add: a product rounded
# into a sum at once gives other bits than the two operations the arithmetic
# is defined as, and GCC contracts into one wherever it is allowed to.
#   cmake -DOBJDUMP=aarch64-linux-gnu-objdump -DMODULE=varnolet.so -P no_fused_multiply_add.cmake
cmake_minimum_required(VERSION 3.16)

include(${CMAKE_CURRENT_LIST_DIR}/disassembly.cmake)
read_disassembly(${OBJDUMP} ${MODULE} lines)
set(function "")
set(instructions 0)
set(fused "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+ <(.*)>:$")
    set(function "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^ +[0-9a-f]+:\t")
    math(EXPR instructions "${instructions} + 1")
    # Scalar (fmadd, fmsub, fnmadd, fnmsub) and vector (fmla, fmls) forms.
    if(line MATCHES "\t(fn?madd|fn?msub|fmla|fmls)[ \t]" AND NOT function IN_LIST fused)
      list(APPEND fused "${function}")
    endif()
  endif()
endforeach()
if(instructions LESS 100)
  message(FATAL_ERROR "${instructions} instructions in ${MODULE}: is the listing what it should be?")
endif()
if(fused)
  string(REPLACE ";" "\n  " fused "${fused}")
  message(FATAL_ERROR "fused multiply-adds in ${MODULE}, in:\n  ${fused}")
endif()
message(STATUS "${instructions} instructions, none a fused multiply-add")
