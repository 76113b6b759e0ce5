# Run by cpack after it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS):
# makes each package again without the postinst and postrm scripts CPack
# writes to call ldconfig for a shared object below /usr/lib. The plug-ins
# are no libraries the loader's cache serves, and Debian's checker counts
# such calls in a package without libraries as a fault.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} -R ${package} ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot unpack ${package}")
  endif()
  set(dropped FALSE)
  foreach(script postinst postrm)
    set(path ${tree}/DEBIAN/${script})
    if(EXISTS ${path})
      file(READ ${path} text)
      # Nothing but CPack's own call of ldconfig.
      string(REGEX REPLACE "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi|[ \t\n]" "" rest "${text}")
      if(rest STREQUAL "")
        file(REMOVE ${path})
        set(dropped TRUE)
      endif()
    endif()
  endforeach()
  if(dropped)
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz --build ${tree} ${package}
                    RESULT_VARIABLE status OUTPUT_QUIET)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-deb cannot make ${package} again")
    endif()
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
