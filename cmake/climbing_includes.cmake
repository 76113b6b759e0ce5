# The include roots hold only for paths from the project root: a quoted
# include is looked up beside the including file first, so one that climbs
# out of its folder ("../framework/tolm_au_base.h") or names an absolute path
# would reach any layer whatever its target sees. No source may have one.
#
#   varnolet_refuse_climbing_includes(FOLDER...)      at configure time
#   cmake -DFOLDERS="a;b" -P climbing_includes.cmake  as a test: fails on one

function(varnolet_refuse_climbing_includes)
  set(found "")
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE sources ${folder}/*.h ${folder}/*.cpp ${folder}/*.inc)
    foreach(source IN LISTS sources)
      file(STRINGS ${source} lines
           REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*\\.\\.[/\\\\]|/)")
      foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        list(APPEND found "${source}: ${line}")
      endforeach()
    endforeach()
  endforeach()
  if(found)
    list(JOIN found "\n  " text)
    message(FATAL_ERROR "includes that climb past the layers' include roots "
                        "(include by the path from the project root):\n  ${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  varnolet_refuse_climbing_includes(${FOLDERS})
endif()
