#!/usr/bin/env bash
# Runs a GoogleTest program's cases and a plain test that skips by its exit
# status through ctest, as the test command does, and checks that
# scripts/skipped-cases.sh lists exactly the skipped ones, each with its reason:
#   skipped_cases_test.sh CTEST FIXTURE SCRIPT WORK_DIR
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 CTEST FIXTURE SCRIPT WORK_DIR" >&2; exit 2; }
ctest=$1 fixture=$2 script=$3 work=$4
rm -rf "$work" && mkdir -p "$work"

{
  for case in WithAReason OverTwoLines WithoutAReason NotAtAll FailsInstead; do
    echo "add_test(Skips.$case \"$fixture\" \"--gtest_filter=Skips.$case\")"
    echo "set_tests_properties(Skips.$case PROPERTIES SKIP_REGULAR_EXPRESSION \"\\\\[  SKIPPED \\\\]\")"
  done
  echo 'add_test(plain sh -c "echo starting; echo no archive to install from; exit 77")'
  echo 'set_tests_properties(plain PROPERTIES SKIP_RETURN_CODE 77)'
} >"$work/CTestTestfile.cmake"

# One case fails on purpose: ctest's own status says nothing here.
(cd "$work" && "$ctest" -j2 --output-junit "$work/junit.xml" >"$work/ctest.log" 2>&1) || true
actual=$(bash "$script" "$work/junit.xml" | sort)
expected=$(sort <<'LIST'
   Skips.WithAReason: Debian's lsp-plugins-vst is not installed & <needed>
   Skips.OverTwoLines: first line; second line
   Skips.WithoutAReason: (no reason given)
   plain: no archive to install from
LIST
)
if [ "$actual" != "$expected" ]; then
  echo "listed:"; echo "$actual"
  echo "expected:"; echo "$expected"
  echo "ctest's own output is in $work/ctest.log"
  exit 1
fi
