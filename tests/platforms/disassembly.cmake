# Included by the checks that read a binary's machine code:
#   read_disassembly(OBJDUMP MODULE LINES) sets LINES to objdump's listing of
# MODULE as a list of lines (semicolons in it made commas), or fails.
function(read_disassembly objdump module out)
  execute_process(COMMAND ${objdump} -d --no-show-raw-insn -C ${module}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE read)
  if(NOT read EQUAL 0)
    message(FATAL_ERROR "${objdump} could not read ${module}")
  endif()
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "\n" ";" listing "${listing}")
  set(${out} "${listing}" PARENT_SCOPE)
endfunction()
