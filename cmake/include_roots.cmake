# Each layer reaches the headers of the layers below it, and no others: a
# wrong-way include fails to compile. Sources include by paths from the project
# root ("vst/audio_effect.h"), so no target has the project root itself on its
# include path; each gets a folder in the build tree that shows only what it
# owns, as links into the source tree, and passes it on to what links it.
#
#   varnolet_include_root(TARGET PATH...)
#
# PATH is a folder or a single header, relative to the project root; TARGET
# sees it (and its users see it) under that same path. A layer that may use
# another layer links that layer's target and so reaches its root too.

function(varnolet_include_root target)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
  file(REMOVE_RECURSE ${root})
  foreach(path IN LISTS ARGN)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
      message(FATAL_ERROR "varnolet_include_root(${target}): no ${path} in the source tree")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
