#!/usr/bin/env bash
# The build's LV2 folder, given to a host as LV2_PATH, holds our bundle and
# nothing a host would take for a broken one: lilv lists exactly our plug-in
# and complains of nothing. Skips (77) without lv2ls.
#   lv2ls_lists_the_bundle.sh BUNDLES_DIR
set -u
if ! command -v lv2ls >/dev/null; then
  echo "skipped: lv2ls is not installed (Debian: lilv-utils)"
  exit 77
fi
folder=$(cd "$1" && pwd)
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
listed=$(LV2_PATH=$folder lv2ls 2>"$errors")
if [ "$listed" != "urn:tolmark:varnolet" ] || [ -s "$errors" ]; then
  echo "LV2_PATH=$folder lv2ls listed:"
  echo "$listed"
  echo "and said:"
  cat "$errors"
  exit 1
fi
echo "lv2ls lists urn:tolmark:varnolet alone, without complaint"
