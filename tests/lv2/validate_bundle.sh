#!/usr/bin/env bash
# Runs LV2's own validator over the bundle's description and fails on any
# error or warning it reports; skips (77) where it is not installed.
#   validate_bundle.sh BUNDLE_DIR
set -u
bundle=$1
if ! command -v lv2_validate >/dev/null || ! command -v sord_validate >/dev/null; then
  echo "skipped: lv2_validate is not installed (Debian: lv2-dev and sordi)"
  exit 77
fi
out=$(lv2_validate "$bundle/manifest.ttl" "$bundle/varnolet.ttl" "$bundle/presets.ttl" 2>&1)
status=$?
echo "$out"
if [ $status -ne 0 ] || echo "$out" | grep -qE '^(error|warning)' ||
    ! echo "$out" | grep -qE '^Found 0 errors'; then
  echo "lv2_validate reports problems with $bundle"
  exit 1
fi
