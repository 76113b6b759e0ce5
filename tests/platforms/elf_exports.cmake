# Fails unless a Linux module exports exactly the given symbols: a plug-in
# that exports more can bind to another plug-in's code in the same host.
#   cmake -DNM=nm -DMODULE=varnolet.so "-DEXPORTS=a;b" -P elf_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
                OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} -D ${MODULE} failed (${status}): ${errors}")
endif()
string(REPLACE "\n" ";" lines "${dump}")
set(found "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND found "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT found)
set(wanted ${EXPORTS})
list(SORT wanted)
if(NOT found STREQUAL wanted)
  message(FATAL_ERROR "${MODULE} exports: ${found}\nexpected exactly: ${wanted}")
endif()
message(STATUS "${MODULE} exports exactly ${found}")
