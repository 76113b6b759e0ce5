#!/usr/bin/env bash
# Builds and runs every test: an optimized build, one with AddressSanitizer and
# UndefinedBehaviorSanitizer, one with ThreadSanitizer, and the other
# platforms' builds where this machine can make them. Installs what it lacks
# (as root) first. Exits non-zero when any test fails.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${VARNOLET_BUILD_ROOT:-$root/build-tests}
jobs=$(nproc 2>/dev/null || echo 2)

bash "$root/scripts/setup.sh" || exit 1
# shellcheck source=scripts/build-log.sh
. "$root/scripts/build-log.sh"
# shellcheck source=scripts/ctest-outcome.sh
. "$root/scripts/ctest-outcome.sh"

passed=0
skipped=0
failed=0
status=0
# One line per build, printed again at the end: the end is what a CI log
# shows first, and a run that fails must say there where and why.
report=()

# count_results LOG: adds the cases of every ctest summary in LOG; a case that
# skipped itself (a package it needs is missing) is counted apart.
count_results() {
  local line total bad skips
  while read -r line; do
    total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
    bad=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/')
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  done < <(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1")
  skips=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$1")
  passed=$((passed - skips))
  skipped=$((skipped + skips))
}

# report_skips NAME JUNIT: lists the cases a build's run skipped, with why.
report_skips() {
  local list
  [ -f "$2" ] || return 0
  list=$(bash "$root/scripts/skipped-cases.sh" "$2") || return 0
  [ -z "$list" ] || printf '== %s: skipped, and why:\n%s\n' "$1" "$list"
}

# run_suite NAME CMAKE-ARGS...: configure, build, run ctest, count the results.
run_suite() {
  local name=$1
  shift
  local dir="$build_root/$name"
  local start=$SECONDS
  echo "== $name: building"
  if ! cmake -S "$root" -B "$dir" "$@" >"$dir.configure.log" 2>&1; then
    mkdir -p "$dir"
    cat "$dir.configure.log"
    echo "== $name: configuration failed"
    failed=$((failed + 1))
    status=1
    report+=("$name: configuration failed")
    return
  fi
  if ! logged_build "$dir.build.log" cmake --build "$dir" -j"$jobs"; then
    tail -n 60 "$dir.build.log"
    echo "== $name: build failed"
    failed=$((failed + 1))
    status=1
    report+=("$name: build failed")
    return
  fi
  # A warning fails the run as a failing case would, but the tests still run.
  local warned=""
  if ! build_warnings "$dir.build.log"; then
    echo "== $name: the build has warnings (all of them in $dir.build.log)"
    failed=$((failed + 1))
    status=1
    warned=", the build has warnings"
  fi
  echo "== $name: built in $((SECONDS - start)) s, testing"
  rm -f "$dir.junit.xml"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --output-junit "$dir.junit.xml") | tee "$dir.test.log"
  local result=${PIPESTATUS[0]}
  if grep -qE 'tests passed, [0-9]+ tests failed out of [0-9]+' "$dir.test.log"; then
    count_results "$dir.test.log"
  else
    failed=$((failed + 1))
  fi
  [ "$result" -eq 0 ] || status=1
  report_skips "$name" "$dir.junit.xml"
  echo "== $name: done in $((SECONDS - start)) s"
  report+=("$name: $((SECONDS - start)) s, $(suite_outcome "$dir.test.log" "$result")$warned")
}

mkdir -p "$build_root"
run_suite release -DCMAKE_BUILD_TYPE=Release

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite address-undefined -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNOLET_SANITIZE=address,undefined -DVARNOLET_BENCH=OFF

export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run_suite thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOLET_SANITIZE=thread -DVARNOLET_BENCH=OFF
unset ASAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS

if [ -f "$root/scripts/test-platforms.sh" ]; then
  platform_log="$build_root/platforms.log"
  bash "$root/scripts/test-platforms.sh" "$build_root" 2>&1 | tee "$platform_log"
  platforms_status=${PIPESTATUS[0]}
  [ "$platforms_status" -eq 0 ] || status=1
  count_results "$platform_log"
  while IFS= read -r line; do report+=("$line"); done \
    < <(sed -n '/^== platform builds:$/,$p' "$platform_log" | sed -n 's/^   //p')
  [ "$platforms_status" -eq 0 ] || report+=("the platform builds ended with status $platforms_status")
fi

# What setup could not install (not root, no package archive) is why most
# skips happen: say so once more at the end.
if [ "$skipped" -gt 0 ]; then
  not_installed=$(bash "$root/scripts/setup.sh" --missing | tr '\n' ' ')
  [ -z "$not_installed" ] ||
    echo "Not installed, so the cases that use them skipped (scripts/setup.sh installs them as root): $not_installed"
fi
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "== every build:"
for line in "${report[@]}"; do echo "   $line"; done
echo "$passed passed, $skipped skipped, $failed failed"
exit "$status"
