# Tests of vst2host validate: one fixture plug-in built clean and once for
# each deliberate fault, and the tests that run the validator on them and on
# Varnolet Delay. The fixtures are built without sanitizers, so that each
# fault shows the same in every build, as it would in a user's plug-in.
set(VALIDATE_FIXTURES clean null_pointer hang_at_block_size_0 nan_latch unwritten_odd_frames
    table_read undamped_feedback writes_past_output
    truncated_steps slow_silent_tail bank_chunk_drops_edits short_program_names
    one_thread_parameters reciprocal_smoothing long_displays throws_on_bad_program
    quantised_mode torn_gain_update)
function(build_without_sanitizers target)
  foreach(property COMPILE_OPTIONS LINK_OPTIONS)
    get_target_property(options ${target} ${property})
    if(options)
      list(FILTER options EXCLUDE REGEX "sanitize")
      set_target_properties(${target} PROPERTIES ${property} "${options}")
    endif()
  endforeach()
endfunction()

set(VALIDATE_FIXTURE_DEFINITIONS)
foreach(fault ${VALIDATE_FIXTURES})
  set(target fixture_${fault})
  add_library(${target} MODULE fixture_modules/faulty_plugin.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(NOT fault STREQUAL "clean")
    string(TOUPPER ${fault} fault_macro)
    target_compile_definitions(${target} PRIVATE FAULT_${fault_macro})
  endif()
  build_without_sanitizers(${target})
  string(TOUPPER ${fault} name)
  list(APPEND VALIDATE_FIXTURE_DEFINITIONS FIXTURE_${name}="$<TARGET_FILE:${target}>")
endforeach()

# The instrument of the instrument tests, once more with a fault only notes reach.
add_library(fixture_note_full_velocity MODULE fixture_modules/note_plugin.cpp)
target_include_directories(fixture_note_full_velocity PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(fixture_note_full_velocity PRIVATE FAULT_FULL_VELOCITY)
set_target_properties(fixture_note_full_velocity PROPERTIES PREFIX "")
build_without_sanitizers(fixture_note_full_velocity)

add_executable(validate_tests
  tool_runner.cpp
  json_value.cpp
  validate_test.cpp
  validate_parts_test.cpp)
target_include_directories(validate_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(validate_tests PRIVATE
  VST2HOST_PATH="$<TARGET_FILE:vst2host>"
  VARNOLET_MODULE_PATH="$<TARGET_FILE:varnolet>"
  NULL_ENTRY_MODULE_PATH="$<TARGET_FILE:fixture_null_entry>"
  NOTE_PLUGIN_PATH="$<TARGET_FILE:fixture_note_plugin>"
  NOTE_FULL_VELOCITY_PATH="$<TARGET_FILE:fixture_note_full_velocity>"
  THIRD_PARTY_PLUGIN_DIR="/usr/lib/vst"
  TOOL_SANITIZED=${tool_sanitized}
  ${VALIDATE_FIXTURE_DEFINITIONS})
target_link_libraries(validate_tests PRIVATE vst2host_parts GTest::gtest_main)
foreach(fault ${VALIDATE_FIXTURES})
  add_dependencies(validate_tests fixture_${fault})
endforeach()
add_dependencies(validate_tests vst2host varnolet fixture_null_entry fixture_note_plugin
                 fixture_note_full_velocity)
discover_test_cases(validate_tests)
