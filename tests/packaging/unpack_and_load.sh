#!/usr/bin/env bash
# Makes the Debian packages of a build, unpacks them and loads what they hold
# the way users and hosts do:
#   unpack_and_load.sh CPACK BUILD_DIR VERSION WORK_DIR
# The plug-in package must hold the VST 2.4 module, the LV2 and VST3 bundles
# and the CLAP plug-in below /usr/lib/vst, /usr/lib/lv2,
# /usr/lib/vst3 and /usr/lib/clap, the host package vst2host below /usr/bin
# with its manual page compressed as Debian wants it (gzip -9n), both at
# VERSION with the library dependencies dpkg-shlibdeps finds; the packaged
# vst2host must load the packaged module, VST3 bundle and CLAP plug-in,
# lv2info must find the packaged LV2 bundle, and all must give the same bits.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 CPACK BUILD_DIR VERSION WORK_DIR" >&2; exit 2; }
cpack=$1 build=$2 version=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work"

(cd "$build" && "$cpack" -G DEB -B "$work/packages" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  echo "cpack -G DEB failed" >&2
  exit 1
}
arch=$(dpkg --print-architecture)
plugin=$work/packages/varnolet-delay_${version}_$arch.deb
host=$work/packages/vst2host_${version}_$arch.deb
failed=0
fail() { echo "$*" >&2; failed=1; }

# expect PACKAGE FIELD PATTERN: a control field matches an extended regex.
expect() {
  local value
  value=$(dpkg-deb -f "$1" "$2")
  echo "$value" | grep -Eq "$3" || fail "$(basename "$1"): $2 is '$value', not /$3/"
}
for package in "$plugin" "$host"; do
  [ -f "$package" ] || { echo "no package $package; cpack made: $(ls "$work/packages")" >&2; exit 1; }
  expect "$package" Version "^${version//./\\.}$"
  expect "$package" Depends "(^|, )libc6 \(>= [0-9.]+\)"
  expect "$package" Depends "(^|, )libstdc\+\+6 \(>= [0-9.]+\)"
done
expect "$host" Depends "(^|, )libsndfile1 \(>= [0-9.]+\)"

# contains PACKAGE PATH...: the package holds exactly these files.
contains() {
  local package=$1
  shift
  local files
  files=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort)
  [ "$files" = "$(printf '%s\n' "$@" | sort)" ] ||
    fail "$(basename "$package") holds:"$'\n'"$files"
}
contains "$plugin" /usr/lib/vst/varnolet.so /usr/lib/vst/varnolet-factory.fxb \
  /usr/lib/lv2/varnolet.lv2/varnolet.so /usr/lib/lv2/varnolet.lv2/manifest.ttl \
  /usr/lib/lv2/varnolet.lv2/varnolet.ttl /usr/lib/lv2/varnolet.lv2/presets.ttl \
  /usr/lib/vst3/varnolet.vst3/Contents/x86_64-linux/varnolet.so /usr/lib/clap/varnolet.clap \
  /usr/share/doc/varnolet-delay/copyright /usr/share/doc/varnolet-delay/changelog.gz
contains "$host" /usr/bin/vst2host /usr/share/man/man1/vst2host.1.gz \
  /usr/share/doc/vst2host/copyright /usr/share/doc/vst2host/changelog.gz

root=$work/root
dpkg-deb -x "$plugin" "$root"
dpkg-deb -x "$host" "$root"
"$root/usr/bin/vst2host" info "$root/usr/lib/vst/varnolet.so" >"$work/info.txt" ||
  fail "the packaged vst2host cannot load the packaged VST 2.4 module"
grep -q "Varnolet Delay" "$work/info.txt" || fail "vst2host info does not name Varnolet Delay"
page=$root/usr/share/man/man1/vst2host.1.gz
# gzip -n leaves out the name and the time: bytes 4 to 7 are 0, flag 3 off.
[ "$(od -An -tx1 -j3 -N5 "$page" | tr -d ' ')" = "0000000000" ] ||
  fail "the manual page is not compressed with gzip -n (it holds a name or a time)"
gzip -t "$page" || fail "the manual page is no gzip file"
man_warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "man warns of the packaged page: $man_warnings"
LV2_PATH=$root/usr/lib/lv2 lv2info urn:tolmark:varnolet >"$work/lv2info.txt" 2>&1 ||
  fail "lv2info does not find the packaged LV2 plug-in"
grep -q "Binary: *file://$root/usr/lib/lv2/varnolet.lv2/varnolet.so" "$work/lv2info.txt" ||
  fail "lv2info reads another binary: $(grep Binary "$work/lv2info.txt")"
"$root/usr/bin/vst2host" info "$root/usr/lib/vst3/varnolet.vst3" >"$work/info-vst3.txt" ||
  fail "the packaged vst2host cannot load the packaged VST3 bundle"
grep -q "Format: *VST3" "$work/info-vst3.txt" || fail "vst2host info does not see the bundle as VST3"
"$root/usr/bin/vst2host" generate "$work/in.wav" --seconds 1 >/dev/null
"$root/usr/bin/vst2host" render "$root/usr/lib/vst3/varnolet.vst3" "$work/in.wav" "$work/vst3.wav" >/dev/null
"$root/usr/bin/vst2host" render "$root/usr/lib/vst/varnolet.so" "$work/in.wav" "$work/vst2.wav" >/dev/null
"$root/usr/bin/vst2host" diff "$work/vst3.wav" "$work/vst2.wav" >/dev/null ||
  fail "the packaged VST3 bundle does not give the VST 2.4 module's bits"
"$root/usr/bin/vst2host" info "$root/usr/lib/clap/varnolet.clap" >"$work/info-clap.txt" ||
  fail "the packaged vst2host cannot load the packaged CLAP plug-in"
grep -q "com.tolmark.varnolet-delay" "$work/info-clap.txt" || fail "vst2host info does not name the CLAP plug-in"
for format in vst/varnolet.so clap/varnolet.clap; do
  "$root/usr/bin/vst2host" render "$root/usr/lib/$format" "$work/in.wav" "$work/${format%%/*}-tail0.wav" \
    --tail 0 >/dev/null || fail "the packaged vst2host cannot render through $format"
done
"$root/usr/bin/vst2host" diff "$work/clap-tail0.wav" "$work/vst-tail0.wav" >/dev/null ||
  fail "the packaged CLAP plug-in does not give the VST 2.4 module's bits"
bash "$here/../lv2/same_bits_as_vst2.sh" "$root/usr/bin/vst2host" "$root/usr/lib/vst/varnolet.so" \
  "$root/usr/lib/lv2" "$work/same_bits" >"$work/same_bits.log" 2>&1 || {
  cat "$work/same_bits.log" >&2
  fail "the packaged plug-ins do not give the same bits"
}
[ "$failed" -eq 0 ] && echo "both packages install and load: $(basename "$plugin"), $(basename "$host")"
exit "$failed"
