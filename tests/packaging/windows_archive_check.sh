#!/usr/bin/env bash
# Checks the archive for Windows users as they unpack it:
#   windows_archive_check.sh ZIP VERSION REFERENCE_BANK
# It must hold exactly the expected files in one folder; each VST 2.4 DLL,
# CLAP plug-in and VST3 binary must be a Windows DLL of the architecture its
# folder names; the bank must be the one a native build writes (the presets
# are the same bits everywhere); the README must say where each format goes.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 ZIP VERSION REFERENCE_BANK" >&2; exit 2; }
zip=$1 version=$2 reference_bank=$3
failed=0
fail() { echo "$*" >&2; failed=1; }
top=varnolet-delay-$version-windows

expected=$(printf '%s\n' \
  "$top/LICENSE.txt" "$top/README.txt" \
  "$top/VST2/x64/varnolet.dll" "$top/VST2/x86/varnolet.dll" "$top/VST2/varnolet-factory.fxb" \
  "$top/CLAP/x64/varnolet.clap" "$top/CLAP/x86/varnolet.clap" \
  "$top/VST3/varnolet.vst3/Contents/x86_64-win/varnolet.vst3" \
  "$top/VST3/varnolet.vst3/Contents/x86-win/varnolet.vst3" | sort)
files=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$files" = "$expected" ] || fail "the archive holds:"$'\n'"$files"$'\n'"not:"$'\n'"$expected"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
root=$work/$top

# architecture FILE PATTERN: `file` describes FILE as a DLL matching PATTERN.
architecture() {
  local description
  description=$(file -b "$root/$1")
  echo "$description" | grep -Eq "$2" || fail "$1 is a '$description', not /$2/"
}
x64='^PE32\+ executable \(DLL\) .*x86-64'
x86='^PE32 executable \(DLL\) .*Intel 80386'
architecture VST2/x64/varnolet.dll "$x64"
architecture CLAP/x64/varnolet.clap "$x64"
architecture VST3/varnolet.vst3/Contents/x86_64-win/varnolet.vst3 "$x64"
architecture VST2/x86/varnolet.dll "$x86"
architecture CLAP/x86/varnolet.clap "$x86"
architecture VST3/varnolet.vst3/Contents/x86-win/varnolet.vst3 "$x86"

cmp -s "$root/VST2/varnolet-factory.fxb" "$reference_bank" ||
  fail "the archive's bank differs from $reference_bank"
grep -q "Permission is hereby granted" "$root/LICENSE.txt" || fail "LICENSE.txt holds no licence"
for place in 'C:\Program Files\Common Files\VST3' 'C:\Program Files\Common Files\CLAP' \
    'VST2\x64\varnolet.dll' 'VST2\varnolet-factory.fxb'; do
  grep -qF "$place" "$root/README.txt" || fail "README.txt does not mention $place"
done
# Windows' own editors want CRLF.
[ "$(grep -c $'\r$' "$root/README.txt")" -eq "$(wc -l <"$root/README.txt")" ] ||
  fail "README.txt has lines without CRLF"
[ "$failed" -eq 0 ] && echo "$(basename "$zip"): every file, both architectures"
exit "$failed"
