#!/usr/bin/env bash
# Lists the cases a ctest run skipped, each with the reason it gave:
#   scripts/skipped-cases.sh JUNIT_FILE
# JUNIT_FILE is what `ctest --output-junit` wrote. A GoogleTest case's reason
# is the message of its GTEST_SKIP (the lines between "file:line: Skipped" and
# "[  SKIPPED ]"); for any other test it is the last line it printed, or what
# ctest recorded when it printed nothing. Prints nothing when nothing skipped.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 JUNIT_FILE" >&2
  exit 2
fi
[ -f "$1" ] || { echo "$0: no ctest report $1" >&2; exit 1; }

# Inside <system-out> ctest escapes every "<", so a line that opens with a
# tag is always the report's own structure.
awk '
function unescape(s) {
  gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s)
  gsub(/&apos;/, "\047", s); gsub(/&amp;/, "\\&", s)
  return s
}
function attribute(line, key,    rest) {
  if (!match(line, key "=\"[^\"]*\"")) return ""
  rest = substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 3)
  return unescape(rest)
}
function finish(    why) {
  if (!skipped) return
  why = gtest_skip ? gtest_reason : (last_line != "" ? last_line : recorded)
  if (why == "") why = "(no reason given)"
  printf "   %s: %s\n", name, why
}
/^[ \t]*<testcase / {
  name = attribute($0, "name"); skipped = ($0 ~ /status="(notrun|disabled)"/)
  recorded = ""; gtest_reason = ""; gtest_skip = 0; last_line = ""; in_out = 0; in_skip = 0
  if ($0 ~ /\/>[ \t]*$/) { finish(); skipped = 0 }
  next
}
/^[ \t]*<skipped / { recorded = attribute($0, "message"); next }
/^[ \t]*<system-out>/ { in_out = 1; sub(/^[ \t]*<system-out>/, "") }
/^[ \t]*<\/testcase>/ { finish(); skipped = 0; next }
in_out {
  line = $0
  if (sub(/<\/system-out>.*$/, "", line)) in_out = 0
  line = unescape(line)
  if (line ~ /: Skipped$/) { in_skip = 1; gtest_skip = 1; next }
  if (in_skip) {
    if (line ~ /^\[  SKIPPED \]/) { in_skip = 0; next }
    if (line != "") gtest_reason = gtest_reason == "" ? line : gtest_reason "; " line
    next
  }
  if (line ~ /[^ \t]/) last_line = line
}
' "$1"
