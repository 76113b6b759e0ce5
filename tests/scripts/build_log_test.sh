#!/usr/bin/env bash
# The build scripts' logging (scripts/build-log.sh): a build's whole output
# goes to its log and only a line per tenth of the way to the terminal; a
# failing build's status comes through; warnings are found and counted.
#   build_log_test.sh SCRIPT WORK_DIR
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SCRIPT WORK_DIR" >&2; exit 2; }
# shellcheck source=scripts/build-log.sh
. "$1"
work=$2
rm -rf "$work" && mkdir -p "$work"
failed=0
fail() { echo "$*"; failed=1; }

# A Make build of 200 steps whose percentages step back now and then, as two
# targets built at once make them, and which fails at the end.
fake_build() {
  local i
  for i in $(seq 1 200); do
    printf '[%3d%%] Building CXX object step%d.o\n' $(((i - (i % 7 == 0 ? 3 : 0)) / 2)) "$i"
    echo "compiler chatter $i"
  done
  echo "make: *** [all] Error 2"
  return 2
}
shown=$(logged_build "$work/make.log" fake_build)
status=$?
[ "$status" -eq 2 ] || fail "a failing build returned $status, not its own 2"
[ "$(wc -l <"$work/make.log")" -eq 401 ] || fail "the log holds $(wc -l <"$work/make.log") lines, not 401"
percents=$(echo "$shown" | sed -nE 's/^ *\[ *([0-9]+)%\].*/\1/p' | tr '\n' ' ')
[ "$percents" = "10 20 30 40 50 60 70 80 90 100 " ] ||
  fail "Make's build showed the percentages '$percents'; shown:"$'\n'"$shown"

# Ninja counts steps instead.
ninja_build() {
  local i
  for i in $(seq 1 40); do echo "[$i/40] Building CXX object step$i.o"; done
}
shown=$(logged_build "$work/ninja.log" ninja_build) || fail "a build that succeeded failed"
[ "$(echo "$shown" | wc -l)" -eq 10 ] || fail "Ninja's 40 steps showed:"$'\n'"$shown"

# Make's last tenth can go on for minutes: after a quiet while the step it
# is at is shown even though no new tenth has begun.
slow_build() {
  echo "[ 91%] Building CXX object fast.o"
  echo "[ 92%] Building CXX object slow.o"
  sleep 2
  echo "[ 93%] Linking CXX executable tool_tests"
}
shown=$(BUILD_LOG_QUIET_SECONDS=1 logged_build "$work/slow.log" slow_build)
[ "$(echo "$shown" | sed -E 's/%\] +[0-9]+ s +/%] /')" = "$(printf '%s\n' \
    "   [ 91%] Building CXX object fast.o" "   [ 93%] Linking CXX executable tool_tests")" ] ||
  fail "a build quiet for longer than allowed showed:"$'\n'"$shown"

build_warnings "$work/make.log" >/dev/null || fail "a log without warnings has warnings"
{
  echo "src/a.cpp:3:5: warning: unused variable 'x' [-Wunused-variable]"
  echo "src/a.cpp:3:5: warning: unused variable 'x' [-Wunused-variable]"
  echo "/usr/bin/ld: warning: creating DT_TEXTREL in a PIE"
} >>"$work/make.log"
found=$(build_warnings "$work/make.log") && fail "warnings were not found"
[ "$(echo "$found" | wc -l)" -eq 2 ] || fail "the two distinct warnings came out as:"$'\n'"$found"
exit "$failed"
