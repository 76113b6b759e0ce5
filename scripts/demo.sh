#!/usr/bin/env bash
# Renders the demo with the built tool and plug-in: makes a short input of
# clicks and a chord, renders it through Varnolet Delay at its defaults and at
# a busier setting, and draws the impulse responses. Nothing is downloaded.
# Usage: scripts/demo.sh BUILD_DIR OUT_DIR
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR OUT_DIR" >&2
  exit 2
fi
build=$1
out=$2
tool="$build/vst2host"
plugin="$build/varnolet.so"
for file in "$tool" "$plugin"; do
  if [ ! -e "$file" ]; then
    echo "$file is missing: build the project first (it needs libsndfile for the tool)" >&2
    exit 1
  fi
done
mkdir -p "$out"

# Every tap feeds back a little, the third tap leaves the even grid, and the
# loop is driven, low-passed and mixed with the dry sound.
busy=(--set "Tap 1 feedback=@15" --set "Tap 2 feedback=@10" --set "Tap 3 time=@450"
      --set "Tap 3 feedback=@10" --set "Tap 4 feedback=@30" --set "Filter Type=@Low"
      --set "Filter Cutoff=@2500" --set "Saturation=@3" --set "Wet/Dry mix=@0.6")

"$tool" generate "$out/demo-input.wav" --signal demo --seconds 4
"$tool" render "$plugin" "$out/demo-input.wav" "$out/demo-defaults.wav"
"$tool" save-preset "$plugin" "$out/busy.fxp" "${busy[@]}"
"$tool" render "$plugin" "$out/demo-input.wav" "$out/demo-busy.wav" --preset "$out/busy.fxp"
"$tool" plot "$plugin" "$out/impulse-response.png"
"$tool" plot "$plugin" "$out/impulse-response-busy.png" --preset "$out/busy.fxp"

echo
echo "Demo files in $out:"
echo "  input (clicks and a chord):      $out/demo-input.wav"
echo "  rendered at the defaults:        $out/demo-defaults.wav"
echo "  rendered at a busier setting:    $out/demo-busy.wav (program $out/busy.fxp)"
echo "  impulse response at defaults:    $out/impulse-response.png"
echo "  impulse response, busier:        $out/impulse-response-busy.png"
