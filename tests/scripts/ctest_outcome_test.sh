#!/usr/bin/env bash
# Runs ctest as the test command does, on a run with a failing case and on one
# whose test list cannot be read, and checks that scripts/ctest-outcome.sh
# says of each which cases failed or why nothing ran:
#   ctest_outcome_test.sh CTEST SCRIPT WORK_DIR
set -uo pipefail
[ $# -eq 3 ] || { echo "usage: $0 CTEST SCRIPT WORK_DIR" >&2; exit 2; }
ctest=$1 work=$3
# shellcheck source=scripts/ctest-outcome.sh
. "$2"
rm -rf "$work" && mkdir -p "$work/failing" "$work/unreadable"
bad=0

# expect DIR WANTED: runs ctest in DIR and compares what is said of it.
expect() {
  local status said
  (cd "$1" && "$ctest" -j2 --output-on-failure >"$1/ctest.log" 2>&1)
  status=$?
  said=$(suite_outcome "$1/ctest.log" "$status")
  if [[ $said != $2 ]]; then
    echo "said of $1: $said"
    echo "wanted:     $2"
    bad=1
  fi
}

cat >"$work/failing/CTestTestfile.cmake" <<'LIST'
add_test(passes sh -c "exit 0")
add_test(Some.Case sh -c "echo went wrong; exit 1")
add_test(also_passes sh -c "exit 0")
LIST
expect "$work/failing" "1 of 3 tests failed: Some.Case"

# As when a GoogleTest program dies while it lists its cases.
echo 'message(FATAL_ERROR "Error running test executable.")' >"$work/unreadable/list.cmake"
cat >"$work/unreadable/CTestTestfile.cmake" <<'LIST'
add_test(passes sh -c "exit 0")
include(list.cmake)
LIST
expect "$work/unreadable" "ctest gave no summary (status [1-9]*: CMake Error*"
exit "$bad"
