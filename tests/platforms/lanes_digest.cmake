# Compares the module's fingerprint with the plain lanes forced against its
# fingerprint with the lanes it chooses itself.
#   cmake -DDIGEST=module_digest -DMODULE=varnolet.so -DOUT=dir -P lanes_digest.cmake
execute_process(COMMAND ${DIGEST} ${MODULE} OUTPUT_FILE ${OUT}/chosen-lanes.digest
                RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "module_digest failed: ${made}")
endif()
set(ENV{VARNOLET_FRAME_LANES} plain)
execute_process(COMMAND ${DIGEST} ${MODULE} ${OUT}/chosen-lanes.digest RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "the plain lanes give other bits than the chosen ones")
endif()
