# What the Windows (MinGW-w64, tests under Wine) and 32-bit x86 builds need
# beyond a native one. Included by the top-level CMakeLists.txt after the
# module's targets and before the tests.

# Debian ships GoogleTest built for the native architecture only; any other
# target builds it from the sources of the googletest package.
if(VARNOLET_TESTS AND CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest_main)
  set(VARNOLET_GTEST_SOURCE /usr/src/googletest CACHE PATH
      "GoogleTest sources, built along when cross-compiling")
  if(NOT EXISTS ${VARNOLET_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${VARNOLET_GTEST_SOURCE} "
                        "(Debian: apt-get install googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VARNOLET_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The test programs, like the module, carry their C++ and thread runtimes
  # inside, so that Wine needs no MinGW DLLs beside them.
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -static")

  if(CMAKE_CROSSCOMPILING AND VARNOLET_TESTS)
    if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
      # Each test runs under Wine in a throw-away prefix inside the build;
      # 32-bit programs under 32-bit Wine.
      set(wine_run ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        list(APPEND wine_run --win32)
      endif()
      set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run} ${CMAKE_BINARY_DIR}/wineprefix)
    endif()

    # A program that crashes under Wine must end with a failing status, or
    # every test of this build could crash and still be counted as passed.
    enable_testing()
    add_executable(crashes_on_purpose tests/platforms/crashes_on_purpose.cpp)
    add_test(NAME a_crash_under_wine_fails COMMAND crashes_on_purpose)
    set_tests_properties(a_crash_under_wine_fails PROPERTIES WILL_FAIL TRUE)

    # The module's export and import tables, read on the build machine.
    find_program(VARNOLET_OBJDUMP NAMES ${VARNOLET_MINGW_TRIPLET}-objdump
                 x86_64-w64-mingw32-objdump objdump)
    if(VARNOLET_OBJDUMP)
      enable_testing()
      add_test(NAME module_dll_tables
               COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_OBJDUMP}
                       -DMODULE=$<TARGET_FILE:varnolet>
                       -P ${CMAKE_CURRENT_LIST_DIR}/check_dll_tables.cmake)
      add_test(NAME clap_dll_tables
               COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_OBJDUMP}
                       -DMODULE=$<TARGET_FILE:varnolet_clap> -DEXPORTS=clap_entry
                       -P ${CMAKE_CURRENT_LIST_DIR}/check_dll_tables.cmake)
      # The VST3 bundle's binary: the factory and the module's entry and exit.
      add_test(NAME vst3_dll_tables
               COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_OBJDUMP}
                       -DMODULE=$<TARGET_FILE:varnolet_vst3>
                       "-DEXPORTS=GetPluginFactory\\;InitDll\\;ExitDll"
                       -P ${CMAKE_CURRENT_LIST_DIR}/check_dll_tables.cmake)
      # The check must see a stray export and a runtime DLL when there are
      # some: a module linked the default way has both.
      add_library(dll_tables_counterexample MODULE tests/platforms/counterexample_module.cpp)
      set_target_properties(dll_tables_counterexample PROPERTIES PREFIX "")
      add_test(NAME module_dll_tables_rejects_counterexample
               COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_OBJDUMP}
                       -DMODULE=$<TARGET_FILE:dll_tables_counterexample>
                       -P ${CMAKE_CURRENT_LIST_DIR}/check_dll_tables.cmake)
      set_tests_properties(module_dll_tables_rejects_counterexample PROPERTIES
        PASS_REGULAR_EXPRESSION
        "unexpected export: leakedHelper.*non-system import: libstdc\\+\\+-6\\.dll")
    else()
      message(WARNING "No MinGW objdump: the module's DLL tables go unchecked")
    endif()
  endif()
endif()

# On 64-bit ARM, where GCC fuses a multiply and an add whenever it may, no
# plug-in binary may hold one; the check must find those of a binary built
# to have them.
if(VARNOLET_TESTS AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  find_program(VARNOLET_ARM64_OBJDUMP NAMES aarch64-linux-gnu-objdump objdump)
  if(VARNOLET_ARM64_OBJDUMP)
    enable_testing()
    foreach(binary varnolet varnolet_clap varnolet_vst3 varnolet_lv2)
      if(TARGET ${binary})
        add_test(NAME ${binary}_has_no_fused_multiply_add
                 COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_ARM64_OBJDUMP}
                         -DMODULE=$<TARGET_FILE:${binary}>
                         -P ${CMAKE_CURRENT_LIST_DIR}/../tests/platforms/no_fused_multiply_add.cmake)
      endif()
    endforeach()
    add_library(fused_counterexample MODULE tests/platforms/fused_counterexample.cpp)
    target_compile_options(fused_counterexample PRIVATE -ffp-contract=fast)
    add_test(NAME no_fused_multiply_add_rejects_counterexample
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VARNOLET_ARM64_OBJDUMP}
                     -DMODULE=$<TARGET_FILE:fused_counterexample>
                     -P ${CMAKE_CURRENT_LIST_DIR}/../tests/platforms/no_fused_multiply_add.cmake)
    set_tests_properties(no_fused_multiply_add_rejects_counterexample PROPERTIES
      PASS_REGULAR_EXPRESSION "fused multiply-adds in[^:]+:[\n ]+fusedSum[\n ]+fusedPolynomial")
  else()
    message(WARNING "No objdump for aarch64: the binaries go unchecked for fused multiply-adds")
  endif()
endif()

# A fingerprint of everything the module gives a host, which builds for
# different platforms must share. Given the fingerprint of another build (the
# native x86-64 one), a build checks its own against it.
if(VARNOLET_TESTS)
  # The CLAP plug-in is driven through the tests' own CLAP host.
  add_executable(module_digest tests/platforms/module_digest.cpp tests/clap/clap_driver.cpp)
  target_include_directories(module_digest PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(module_digest PRIVATE vsthost numeric core ${CMAKE_DL_LIBS})
  add_dependencies(module_digest varnolet varnolet_vst3 varnolet_clap)
  set(VARNOLET_DIGEST_REFERENCE "" CACHE FILEPATH
      "module_digest's output from another build, which this build's must equal")
  if(VARNOLET_DIGEST_REFERENCE)
    enable_testing()
    add_test(NAME module_digest_matches_reference
             COMMAND module_digest $<TARGET_FILE:varnolet> ${VARNOLET_DIGEST_REFERENCE})
  endif()
  # The same for the VST3 bundle, against the bundle of another build.
  set(VARNOLET_VST3_DIGEST_REFERENCE "" CACHE FILEPATH
      "module_digest's output for another build's VST3 bundle, which this build's must equal")
  if(VARNOLET_VST3_DIGEST_REFERENCE)
    enable_testing()
    add_test(NAME vst3_digest_matches_reference
             COMMAND module_digest ${VARNOLET_VST3_BUNDLE} ${VARNOLET_VST3_DIGEST_REFERENCE})
  endif()
  # And for the CLAP plug-in.
  set(VARNOLET_CLAP_DIGEST_REFERENCE "" CACHE FILEPATH
      "module_digest's output for another build's .clap, which this build's must equal")
  if(VARNOLET_CLAP_DIGEST_REFERENCE)
    enable_testing()
    add_test(NAME clap_digest_matches_reference
             COMMAND module_digest $<TARGET_FILE:varnolet_clap> ${VARNOLET_CLAP_DIGEST_REFERENCE})
  endif()
  # Within one build, the bundle and the CLAP plug-in render the module's bits.
  if(NOT CMAKE_CROSSCOMPILING)
    enable_testing()
    add_test(NAME vst3_digest_renders_as_the_module
             COMMAND ${CMAKE_COMMAND} -DDIGEST=$<TARGET_FILE:module_digest>
                     -DMODULE=$<TARGET_FILE:varnolet> -DBUNDLE=${VARNOLET_VST3_BUNDLE}
                     -P ${CMAKE_CURRENT_LIST_DIR}/../tests/platforms/formats_digest.cmake)
    add_test(NAME clap_digest_renders_as_the_module
             COMMAND ${CMAKE_COMMAND} -DDIGEST=$<TARGET_FILE:module_digest>
                     -DMODULE=$<TARGET_FILE:varnolet> -DBUNDLE=$<TARGET_FILE:varnolet_clap>
                     -P ${CMAKE_CURRENT_LIST_DIR}/../tests/platforms/formats_digest.cmake)
  endif()
endif()
