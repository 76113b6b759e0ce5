# The archive for Windows users. In the 64-bit Windows build, given the
# folder of a 32-bit Windows build of the same sources,
#   cmake -DVARNOLET_WINDOWS_X86_BUILD=DIR BUILD && (cd BUILD && cpack -G ZIP)
# makes varnolet-delay-VERSION-windows.zip, whose one folder holds both
# architectures:
#   VST2/x64/varnolet.dll  VST2/x86/varnolet.dll  VST2/varnolet-factory.fxb
#   CLAP/x64/varnolet.clap CLAP/x86/varnolet.clap
#   VST3/varnolet.vst3/Contents/x86_64-win/varnolet.vst3
#   VST3/varnolet.vst3/Contents/x86-win/varnolet.vst3
#   LICENSE.txt README.txt
# Included by packaging.cmake.
set(VARNOLET_WINDOWS_X86_BUILD "" CACHE PATH
    "A 32-bit Windows build whose binaries the 64-bit build's archive also holds")
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8 OR NOT VARNOLET_WINDOWS_X86_BUILD)
  return()
endif()
if(NOT VARNOLET_FACTORY_BANK)
  message(STATUS "no factory bank (a cross build writes it under its tests' emulator): "
                 "no Windows archive")
  return()
endif()

set(x86 ${VARNOLET_WINDOWS_X86_BUILD})
install(TARGETS varnolet LIBRARY DESTINATION VST2/x64 RUNTIME DESTINATION VST2/x64
        COMPONENT windows)
install(FILES ${x86}/varnolet.dll DESTINATION VST2/x86 COMPONENT windows)
install(FILES ${VARNOLET_FACTORY_BANK} DESTINATION VST2 COMPONENT windows)
install(TARGETS varnolet_clap LIBRARY DESTINATION CLAP/x64 RUNTIME DESTINATION CLAP/x64
        COMPONENT windows)
install(FILES ${x86}/varnolet.clap DESTINATION CLAP/x86 COMPONENT windows)
# One bundle serves both: each host loads the binary of its own architecture.
install(TARGETS varnolet_vst3 LIBRARY DESTINATION VST3/varnolet.vst3/Contents/x86_64-win
        RUNTIME DESTINATION VST3/varnolet.vst3/Contents/x86_64-win COMPONENT windows)
install(FILES ${x86}/varnolet.vst3/Contents/x86-win/varnolet.vst3
        DESTINATION VST3/varnolet.vst3/Contents/x86-win COMPONENT windows)
# CPack strips what this build made; the 32-bit binaries need the 32-bit tool.
find_program(VARNOLET_X86_STRIP i686-w64-mingw32-strip)
if(VARNOLET_X86_STRIP)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(file VST2/x86/varnolet.dll CLAP/x86/varnolet.clap
                   VST3/varnolet.vst3/Contents/x86-win/varnolet.vst3)
        execute_process(COMMAND \"${VARNOLET_X86_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()" COMPONENT windows)
endif()
# Windows opens a file by its extension, and Notepad wants CRLF.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/windows/LICENSE.txt
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt.in
               ${CMAKE_BINARY_DIR}/windows/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/windows/LICENSE.txt ${CMAKE_BINARY_DIR}/windows/README.txt
        DESTINATION . COMPONENT windows)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME varnolet-delay)
set(CPACK_PACKAGE_VENDOR Tolmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME varnolet-delay-${PROJECT_VERSION}-windows)
set(CPACK_COMPONENTS_ALL windows)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
# Without the symbols and debugging sections the static runtimes bring along.
set(CPACK_STRIP_FILES ON)
include(CPack)
