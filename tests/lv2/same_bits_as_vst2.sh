#!/usr/bin/env bash
# Renders noise through the LV2 plug-in with lv2apply (one frame per call) and
# through the VST 2.4 module with vst2host at one frame per block, at the
# defaults and at a busy setting, and fails unless both give the same bits:
#   same_bits_as_vst2.sh VST2HOST VST2_MODULE LV2_PATH WORK_DIR
# The busy values are given to LV2 as they are and to VST 2.4 as the 0..1
# values that map onto exactly those floats. In a sanitizer build, lv2apply,
# which is not built with the sanitizer, needs its runtime preloaded to load
# the plug-in: VARNOLET_LV2APPLY_PRELOAD names it.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 VST2HOST VST2_MODULE LV2_PATH WORK_DIR" >&2; exit 2; }
host=$1 module=$2 lv2_path=$3 work=$4
uri=urn:tolmark:varnolet
rm -rf "$work" && mkdir -p "$work" && cd "$work"

# LV2 symbol, native value, VST 2.4 name=0..1 value. Every tap feeds back,
# the filter sits between band and high with a high Q, the saturation drives,
# and tap 2 reaches back two whole seconds: at 48 kHz that is past the end of
# a line made for 44.1 kHz.
busy="tap_1_time 250 Tap 1 time=0.125
tap_1_feedback 50 Tap 1 feedback=0.5
tap_2_time 2000 Tap 2 time=1
tap_2_feedback 25 Tap 2 feedback=0.25
tap_3_time 750 Tap 3 time=0.375
tap_3_pan 0.25 Tap 3 pan=0.625
tap_3_feedback 37.5 Tap 3 feedback=0.375
tap_4_feedback 62.5 Tap 4 feedback=0.625
tap_4_level 0.75 Tap 4 level=0.75
wet_dry_mix 0.75 Wet/Dry mix=0.75
filter_cutoff 632.455532 Filter Cutoff=0.5
filter_q 0.87625 Filter Q=0.875
filter_type 2.5 Filter Type=0.625
filter_sweep 0.25 Filter Sweep=0.25
saturation 5.5 Saturation=0.5
master_feedback 150 Master feedback=0.75"

"$host" generate noise.wav --signal noise --seconds 2.5 --rate 48000 >/dev/null

# render NAME [SETTINGS]: NAME-lv2.wav and NAME-vst2.wav, then compares them.
render() {
  local name=$1 settings=${2:-}
  local lv2=() vst=() symbol value setting
  while read -r symbol value setting; do
    [ -n "$symbol" ] || continue
    lv2+=(-c "$symbol" "$value")
    vst+=(--set "$setting")
  done <<<"$settings"
  if ! LV2_PATH=$lv2_path LD_PRELOAD=${VARNOLET_LV2APPLY_PRELOAD:-} lv2apply -i noise.wav -o "$name-lv2.wav" "${lv2[@]}" "$uri" \
      2>"$name-lv2.log" || [ ! -s "$name-lv2.wav" ]; then
    grep -v "manifest.ttl" "$name-lv2.log" >&2 || true
    echo "$name: lv2apply failed" >&2
    return 1
  fi
  "$host" render "$module" noise.wav "$name-vst2.wav" --block 1 --tail 0 "${vst[@]}" >/dev/null
  if ! "$host" diff "$name-vst2.wav" "$name-lv2.wav"; then
    echo "$name: the LV2 plug-in's output differs from the VST 2.4 module's" >&2
    return 1
  fi
}

render defaults
render busy "$busy"
# The settings must have reached both: the busy output is another sound.
if "$host" diff defaults-vst2.wav busy-vst2.wav >/dev/null; then
  echo "the busy setting sounds like the defaults" >&2
  exit 1
fi
echo "LV2 and VST 2.4 give the same bits at the defaults and at the busy setting"
