#!/usr/bin/env bash
# Makes the Debian packages of a cross build, whose dependencies are stated
# rather than found by dpkg-shlibdeps, and checks that they hold: the packages
# are of the build's architecture, and every library version the binaries ask
# for (the ELF version references of libc, libstdc++ and libgcc_s) comes with
# the package version the Depends field names or an older one, and some
# binary needs each version named (a newer one would refuse systems the
# plug-in runs on). Which package
# version first gave a version reference is read from the build machine's
# symbols files of those packages: the references name the same releases on
# every architecture.
#   stated_depends_check.sh CPACK BUILD_DIR ARCHITECTURE WORK_DIR
set -uo pipefail
[ $# -eq 4 ] || { echo "usage: $0 CPACK BUILD_DIR ARCHITECTURE WORK_DIR" >&2; exit 2; }
cpack=$1 build=$2 arch=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" >cpack.log 2>&1) || {
  cat "$work/cpack.log"
  echo "cpack could not make the packages"
  exit 1
}
native=$(dpkg --print-architecture)
failed=0
fail() { echo "$*"; failed=1; }

# package_of LIBRARY: the Debian package that provides it.
package_of() {
  case "$1" in
    libc.so.6 | libm.so.6 | ld-linux-*) echo libc6 ;;
    libstdc++.so.6) echo libstdc++6 ;;
    libgcc_s.so.1) echo libgcc-s1 ;;
  esac
}

shopt -s nullglob
packages=("$work"/*.deb)
[ ${#packages[@]} -gt 0 ] || { echo "cpack made no package"; exit 1; }
for deb in "${packages[@]}"; do
  name=$(basename "$deb")
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] ||
    fail "$name: architecture $(dpkg-deb -f "$deb" Architecture), not $arch"
  depends=$(dpkg-deb -f "$deb" Depends)
  tree=$work/${name%.deb}
  dpkg-deb -x "$deb" "$tree"
  checked=0
  declare -A newest=()
  while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    checked=$((checked + 1))
    # "File: libstdc++.so.6" lines, then the versions needed from it.
    while read -r library version; do
      package=$(package_of "$library")
      [ -n "$package" ] || { fail "$name: ${file#"$tree"} needs $library, which no dependency provides"; continue; }
      stated=$(echo "$depends" | tr ',' '\n' | sed -nE "s/^ *${package//+/\\+} \(>= ([^)]+)\)$/\1/p")
      [ -n "$stated" ] || { fail "$name: Depends ($depends) names no version of $package"; continue; }
      symbols=/var/lib/dpkg/info/$package:$native.symbols
      needed=$(sed -nE "s/^ ${version//./\\.}@${version//./\\.} ([^ ]+).*/\1/p" "$symbols" | head -n 1)
      [ -n "$needed" ] || { fail "$name: $version of $package is not in $symbols"; continue; }
      dpkg --compare-versions "$stated" ge "$needed" ||
        fail "$name: ${file#"$tree"} needs $version, from $package $needed; Depends says >= $stated"
      if [ -z "${newest[$package]:-}" ] || dpkg --compare-versions "$needed" gt "${newest[$package]}"; then
        newest[$package]=$needed
      fi
    done < <(readelf -V --wide "$file" | awk '
      /section/ { needs = /Version needs section/ }
      needs && /File: / { for (i = 1; i <= NF; i++) if ($i == "File:") library = $(i + 1) }
      needs && /Name: / { for (i = 1; i <= NF; i++) if ($i == "Name:") print library, $(i + 1) }')
  done < <(find "$tree" -type f -print0)
  [ "$checked" -gt 0 ] || fail "$name: holds no binary"
  for package in "${!newest[@]}"; do
    stated=$(echo "$depends" | tr ',' '\n' | sed -nE "s/^ *${package//+/\\+} \(>= ([^)]+)\)$/\1/p")
    [ "$stated" = "${newest[$package]}" ] ||
      fail "$name: Depends says $package >= $stated; the newest its binaries need is ${newest[$package]}"
  done
  echo "$name: $arch, $checked binaries, Depends: $depends"
done
exit "$failed"
