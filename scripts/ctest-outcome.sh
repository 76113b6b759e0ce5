# shellcheck shell=bash
# Sourced by the scripts that run ctest: says what one run came to.

# suite_outcome LOG STATUS: what one ctest run came to, in a line: its count
# of failures, the cases that failed, and its status where the count does not
# explain it (ctest fails the run for errors that are no case's, such as a
# test program that could not list its cases).
suite_outcome() {
  local line outcome names why
  why=$(grep -m1 -E '^(CMake Error|Errors while running CTest)' "$1" || echo "no error printed")
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    outcome="ctest gave no summary (status $2: $why)"
  else
    outcome=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests failed out of ([0-9]+).*/\1 of \2 tests failed/')
    names=$(sed -n '/^The following tests FAILED:/,/^[^[:space:]]/p' "$1" |
      sed -nE 's/^[[:space:]]+[0-9]+ - ([^ ]+) .*/\1/p' | tr '\n' ' ')
    [ -z "$names" ] || outcome+=": ${names% }"
    if [ "$2" -ne 0 ] && [[ $line == 100%* ]]; then
      outcome+=", yet ctest ended with status $2 ($why)"
    fi
  fi
  echo "$outcome"
}
