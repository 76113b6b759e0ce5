#!/usr/bin/env bash
# Installs what building and testing need, when it is missing, on Debian.
# Run as root to install; as another user it only reports what is missing.
set -euo pipefail

packages=(g++ cmake make pkg-config libgtest-dev libbenchmark-dev libsndfile1-dev gnuplot-nox
          dpf-plugins-vst binutils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages (run as root to install): ${missing[*]}" >&2
  fi
fi
