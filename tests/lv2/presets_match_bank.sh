#!/usr/bin/env bash
# The LV2 bundle's presets are the factory bank's programs: lv2info lists
# each by name, and each, applied with lv2apply by its port values, gives the
# same bits as the VST 2.4 module given the bank's program of that number
# through vst2host:
#   presets_match_bank.sh VST2HOST VST2_MODULE BANK LV2_PATH WORK_DIR
# (VARNOLET_LV2APPLY_PRELOAD as for same_bits_as_vst2.sh.)
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 VST2HOST VST2_MODULE BANK LV2_PATH WORK_DIR" >&2; exit 2; }
host=$1 module=$2 bank=$3 lv2_path=$4 work=$5
uri=urn:tolmark:varnolet
presets=$lv2_path/varnolet.lv2/presets.ttl
rm -rf "$work" && mkdir -p "$work" && cd "$work"
failed=0
fail() { echo "$*" >&2; failed=1; }

# The presets in the order the file gives them, which is the bank's.
mapfile -t labels < <(grep -o 'rdfs:label "[^"]*"' "$presets" | sed 's/^rdfs:label "\(.*\)"$/\1/')
[ "${#labels[@]}" -eq 8 ] || fail "presets.ttl holds ${#labels[@]} presets, not 8"

LV2_PATH=$lv2_path lv2info "$uri" >lv2info.txt 2>lv2info.log
for label in "${labels[@]}"; do
  grep -qE "^[[:space:]]+$label\$" lv2info.txt || fail "lv2info does not list the preset \"$label\""
done

# Each preset's port values as "symbol value" lines, from the triples.
sordi "$presets" >triples.nt
port_values() {
  local preset
  preset=$(grep -F "<http://www.w3.org/2000/01/rdf-schema#label> \"$1\" ." triples.nt | cut -d' ' -f1)
  [ -n "$preset" ] || return 0
  awk -v preset="$preset" '
    $1 == preset && $2 == "<http://lv2plug.in/ns/lv2core#port>" { mine[$3] = 1 }
    $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { symbol[$1] = $3 }
    $2 == "<http://lv2plug.in/ns/ext/presets#value>" { split($3, v, "\""); value[$1] = v[2] }
    END { for (node in mine) { s = symbol[node]; gsub(/"/, "", s); print s, value[node] } }
  ' triples.nt
}

"$host" generate noise.wav --signal noise --seconds 2 >/dev/null 2>&1
for program in "${!labels[@]}"; do
  label=${labels[$program]}
  controls=()
  while read -r symbol value; do controls+=(-c "$symbol" "$value"); done < <(port_values "$label")
  [ "${#controls[@]}" -eq $((3 * 23)) ] || fail "\"$label\" sets $((${#controls[@]} / 3)) controls, not 23"
  if ! LV2_PATH=$lv2_path LD_PRELOAD=${VARNOLET_LV2APPLY_PRELOAD:-} lv2apply -i noise.wav \
      -o "lv2-$program.wav" "${controls[@]}" "$uri" 2>"lv2-$program.log" || [ ! -s "lv2-$program.wav" ]; then
    grep -v "manifest.ttl" "lv2-$program.log" >&2 || true
    fail "\"$label\": lv2apply failed"
    continue
  fi
  "$host" render "$module" noise.wav "vst2-$program.wav" --preset "$bank" --program "$program" \
    --block 1 --tail 0 >/dev/null 2>render.log || { cat render.log >&2; exit 1; }
  "$host" diff "vst2-$program.wav" "lv2-$program.wav" >/dev/null ||
    fail "\"$label\": the LV2 preset does not sound as the bank's program $program"
done
# The presets differ from each other, so a bank of one program repeated fails.
for program in "${!labels[@]}"; do
  [ "$program" -eq 0 ] && continue
  ! cmp -s vst2-0.wav "vst2-$program.wav" || fail "program $program sounds as program 0"
done
[ "$failed" -eq 0 ] && echo "the ${#labels[@]} LV2 presets give the bank's programs' bits"
exit "$failed"
