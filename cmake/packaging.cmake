# Installing and packaging the plug-in in its formats and the command-line
# host. Included by the top-level CMakeLists.txt after every target.
#   cmake --install BUILD [--prefix DIR]  DIR/lib/vst/varnolet.so and varnolet-factory.fxb,
#                                         DIR/lib/lv2/varnolet.lv2/,
#                                         DIR/lib/vst3/varnolet.vst3/, DIR/lib/clap/varnolet.clap,
#                                         DIR/bin/vst2host, DIR/share/man/man1/vst2host.1.gz
#   -DVARNOLET_USER_INSTALL=ON            ~/.vst, ~/.lv2, ~/.vst3, ~/.clap and ~/.local/bin instead
#   cpack -G DEB (in BUILD)               varnolet-delay_VERSION_ARCH.deb (every
#                                         format) and vst2host_VERSION_ARCH.deb
#   cpack -G ZIP (in a 64-bit Windows build) varnolet-delay-VERSION-windows.zip: see
#                                         windows_archive.cmake
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_archive.cmake)
  return()
endif()
if(NOT UNIX)
  return()
endif()

option(VARNOLET_USER_INSTALL
       "cmake --install puts the plug-ins into ~/.vst, ~/.lv2, ~/.vst3 and ~/.clap and vst2host into ~/.local/bin" OFF)
if(VARNOLET_USER_INSTALL)
  set(VARNOLET_VST_DIR $ENV{HOME}/.vst)
  set(VARNOLET_LV2_DIR $ENV{HOME}/.lv2)
  set(VARNOLET_VST3_DIR $ENV{HOME}/.vst3)
  set(VARNOLET_CLAP_DIR $ENV{HOME}/.clap)
  set(VARNOLET_BIN_DIR $ENV{HOME}/.local/bin)
  set(VARNOLET_MAN_DIR $ENV{HOME}/.local/share/man)
else()
  # Where Debian's own plug-in packages put them, and where hosts look.
  set(VARNOLET_VST_DIR lib/vst)
  set(VARNOLET_LV2_DIR lib/lv2)
  set(VARNOLET_VST3_DIR lib/vst3)
  set(VARNOLET_CLAP_DIR lib/clap)
  set(VARNOLET_BIN_DIR bin)
  set(VARNOLET_MAN_DIR share/man)
endif()

install(TARGETS varnolet LIBRARY DESTINATION ${VARNOLET_VST_DIR} COMPONENT plugin)
# The factory presets beside the module, where a host's preset menu finds them.
if(VARNOLET_FACTORY_BANK)
  install(FILES ${VARNOLET_FACTORY_BANK} DESTINATION ${VARNOLET_VST_DIR} COMPONENT plugin)
endif()
install(TARGETS varnolet_clap LIBRARY DESTINATION ${VARNOLET_CLAP_DIR} COMPONENT plugin)
if(TARGET varnolet_lv2)
  get_target_property(bundle varnolet_lv2 LIBRARY_OUTPUT_DIRECTORY)
  install(TARGETS varnolet_lv2 LIBRARY DESTINATION ${VARNOLET_LV2_DIR}/varnolet.lv2
          COMPONENT plugin)
  install(FILES ${bundle}/manifest.ttl ${bundle}/varnolet.ttl ${bundle}/presets.ttl
          DESTINATION ${VARNOLET_LV2_DIR}/varnolet.lv2 COMPONENT plugin)
endif()
# The bundle's layout: the binary in the folder of its platform.
install(TARGETS varnolet_vst3 LIBRARY
        DESTINATION ${VARNOLET_VST3_DIR}/varnolet.vst3/Contents/${VARNOLET_VST3_ARCH}
        COMPONENT plugin)
set(components plugin)
if(TARGET vst2host)
  install(TARGETS vst2host RUNTIME DESTINATION ${VARNOLET_BIN_DIR} COMPONENT host)
  if(TARGET vst2host_manual)
    install(FILES ${CMAKE_BINARY_DIR}/vst2host.1.gz DESTINATION ${VARNOLET_MAN_DIR}/man1 COMPONENT host)
  endif()
  list(APPEND components host)
endif()

# A package installs below /usr, so only the system-wide layout makes one.
if(VARNOLET_USER_INSTALL)
  return()
endif()
set(VARNOLET_MAINTAINER "Varnolet Delay authors <varnolet-delay@tolmark.example>")
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME varnolet-delay)
set(CPACK_DEBIAN_HOST_PACKAGE_NAME vst2host)

# Every package carries the licence in Debian's machine-readable form, and
# a changelog made from the project's history of versions.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^.*(Permission is hereby granted)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n" "\n " licence " ${licence}")
set(VARNOLET_LICENSE_TEXT "${licence}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in
               ${CMAKE_BINARY_DIR}/debian/copyright @ONLY NEWLINE_STYLE UNIX)
foreach(component IN LISTS components)
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  set(changelog ${CMAKE_BINARY_DIR}/debian/${package}/changelog)
  add_custom_command(OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -DCHANGES=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DPACKAGE=${package}
            "-DMAINTAINER=${VARNOLET_MAINTAINER}" -DOUT=${changelog}
            -P ${CMAKE_CURRENT_LIST_DIR}/debian/write_changelog.cmake
    COMMAND gzip -9nf ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_LIST_DIR}/debian/write_changelog.cmake
    COMMENT "Writing the changelog of ${package}" VERBATIM)
  add_custom_target(${package}_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${changelog}.gz
          DESTINATION share/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_VENDOR Tolmark)
set(CPACK_PACKAGE_CONTACT "${VARNOLET_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  # Packages for arm64 made on another machine: dpkg-shlibdeps looks up the
  # libraries in the build machine's package database, which holds none of
  # that architecture, so the dependencies are stated. The binaries need the
  # C library, the C++ library and GCC's support library (vst2host also
  # libsndfile); the versions are the oldest packages that provide every
  # symbol version the binaries ask for, which a test of the arm64 build
  # checks: libstdc++6 11 and later, so Debian 12 (Raspberry Pi OS
  # "bookworm") or newer.
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(VARNOLET_ARM64_DEPENDS "libc6 (>= 2.29), libgcc-s1 (>= 3.0), libstdc++6 (>= 11)")
  set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS "${VARNOLET_ARM64_DEPENDS}")
  set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS "${VARNOLET_ARM64_DEPENDS}, libsndfile1")
else()
  # The libraries the binaries link, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
# CPack has every package with a shared object below /usr/lib call ldconfig
# when installed and removed; plug-ins are no libraries the loader's cache
# knows, so the packages are made again without those scripts.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/drop_ldconfig_scripts.cmake)
string(CONCAT CPACK_COMPONENT_PLUGIN_DESCRIPTION
    "Varnolet Delay, a four-tap stereo delay, as VST 2.4, LV2, VST3 and CLAP plug-ins\n"
    "One mono delay line of two seconds read by four panned, levelled taps, each\n"
    "feeding back through a saturation stage and a crossfading state-variable\n"
    "filter. Installs /usr/lib/vst/varnolet.so with its factory presets in\n"
    "varnolet-factory.fxb, /usr/lib/lv2/varnolet.lv2, /usr/lib/vst3/varnolet.vst3\n"
    "and /usr/lib/clap/varnolet.clap.")
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_HOST_PACKAGE_RECOMMENDS gnuplot-nox)
string(CONCAT CPACK_COMPONENT_HOST_DESCRIPTION
    "command-line host for VST 2.4, CLAP and VST3 plug-ins\n"
    "Loads any VST 2.4, CLAP or VST3 plug-in and renders audio files through it,\n"
    "plots its impulse response, compares renders, benchmarks it, validates VST 2.4\n"
    "plug-ins and saves their presets. See vst2host(1).")
include(CPack)
