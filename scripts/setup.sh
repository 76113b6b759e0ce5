#!/usr/bin/env bash
# Installs what building and testing need, when it is missing, on Debian:
#   scripts/setup.sh [--strict] [EXTRA-PACKAGE...]
# Run as root to install; as another user it only reports what is missing,
# and with --strict fails then.
set -euo pipefail

strict=0
if [ "${1:-}" = "--strict" ]; then
  strict=1
  shift
fi
packages=(g++ cmake make pkg-config libgtest-dev libbenchmark-dev libsndfile1-dev gnuplot-nox
          dpf-plugins-vst zam-plugins binutils lv2-dev lilv-utils dpkg-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A package of another architecture (wine32:i386) needs that architecture
  # added before apt-get update lists its packages.
  for p in "${missing[@]}"; do
    arch=${p#*:}
    if [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      dpkg --add-architecture "$arch"
    fi
  done
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
    echo "apt-get could not install: ${missing[*]}" >&2
    exit 1
  }
else
  echo "Missing packages (run as root to install): ${missing[*]}" >&2
  [ "$strict" -eq 0 ] || exit 1
fi
