#!/usr/bin/env bash
# Makes the Debian packages of a build and has Debian's checker, lintian,
# look at them: no error and no warning may remain. Skips (77) where lintian
# is not installed.
#   lintian_check.sh CPACK BUILD_DIR WORK_DIR
set -uo pipefail
[ $# -eq 3 ] || { echo "usage: $0 CPACK BUILD_DIR WORK_DIR" >&2; exit 2; }
cpack=$1 build=$2 work=$3
if ! command -v lintian >/dev/null; then
  echo "skipped: lintian is not installed (Debian: lintian)"
  exit 77
fi
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" >cpack.log 2>&1) || {
  cat "$work/cpack.log"
  echo "cpack could not make the packages"
  exit 1
}
shopt -s nullglob
packages=("$work"/*.deb)
[ ${#packages[@]} -gt 0 ] || { echo "cpack made no package"; exit 1; }
# lintian says so when it runs as root; that is no finding.
report=$(lintian --fail-on error,warning "${packages[@]}" 2>&1)
status=$?
echo "$report" | grep -v 'running with root privileges'
[ $status -eq 0 ] || { echo "lintian reports errors or warnings"; exit 1; }
echo "lintian: no error and no warning in ${#packages[@]} packages"
