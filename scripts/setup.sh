#!/usr/bin/env bash
# Installs with apt-get, on Debian, what building and testing need when it is
# missing. Every package the project's commands use is listed here and only
# here:
#   scripts/setup.sh [--strict] [--platforms] [EXTRA-PACKAGE...]
#   scripts/setup.sh --list      the packages, one group to a line
#   scripts/setup.sh --missing   those of them not installed, one to a line
# Run as root it installs; as another user it only reports what is missing,
# and with --strict fails then. Without a package archive the build's own
# packages fail it; the plug-ins, hosts and checkers the tests meet are
# reported and left out, and the tests that need them skip, saying so.
set -euo pipefail

# Building, the command-line host and its plots, the LV2 bundle and its tools,
# and the Debian packages (cpack's DEB generator asks `file` about every
# binary it packs).
build_packages=(g++ cmake make pkg-config binutils libgtest-dev libbenchmark-dev
                libsndfile1-dev gnuplot-nox lv2-dev lilv-utils dpkg-dev file)
# The plug-ins, hosts and checkers the tests run against the project's own:
# Debian's VST 2.4 plug-ins (dpf-plugins-vst, lsp-plugins-vst) and CLAP
# plug-ins (zam-plugins), Qtractor's and Ardour's plug-in scanners, lintian,
# and sordi, whose sord_validate lv2-dev's lv2_validate runs.
test_packages=(dpf-plugins-vst lsp-plugins-vst zam-plugins qtractor ardour lintian sordi)
# The other platforms' builds (scripts/test-platforms.sh): MinGW-w64 for both
# word sizes, Wine with its 32-bit half, the cross compilers for 32-bit x86
# Linux (with the i386 runtimes its tests run with) and 64-bit ARM (whose
# tests run under qemu's user-mode emulator), GoogleTest's sources.
# (g++-multilib cannot stand beside the ARM compiler: Debian has them
# conflict.)
platform_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                   g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine64
                   wine32:i386 g++-i686-linux-gnu libstdc++6:i386 g++-aarch64-linux-gnu
                   qemu-user googletest util-linux)

strict=0
platforms=0
case "${1:-}" in
  --list)
    echo "build: ${build_packages[*]}"
    echo "tests: ${test_packages[*]}"
    echo "platforms: ${platform_packages[*]}"
    exit 0
    ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# missing_of PACKAGE...: those not installed.
missing_of() {
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

if [ "${1:-}" = "--missing" ]; then
  missing_of "${build_packages[@]}" "${test_packages[@]}"
  exit 0
fi
while [ $# -gt 0 ]; do
  case "$1" in
    --strict) strict=1 ;;
    --platforms) platforms=1 ;;
    *) break ;;
  esac
  shift
done

required=("${build_packages[@]}" "$@")
[ "$platforms" -eq 0 ] || required+=("${platform_packages[@]}")
mapfile -t missing_required < <(missing_of "${required[@]}")
mapfile -t missing_tests < <(missing_of "${test_packages[@]}")
[ $((${#missing_required[@]} + ${#missing_tests[@]})) -gt 0 ] || exit 0

if [ "$(id -u)" -ne 0 ]; then
  [ "${#missing_required[@]}" -eq 0 ] ||
    echo "Missing packages (run as root to install): ${missing_required[*]}" >&2
  [ "${#missing_tests[@]}" -eq 0 ] ||
    echo "Missing packages the tests use (run as root to install; those tests skip): ${missing_tests[*]}" >&2
  [ "$strict" -eq 0 ] || [ "${#missing_required[@]}" -eq 0 ] || exit 1
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive

# apt_install PACKAGE...: installs them and what they depend on, printing a
# line every tenth of the way through downloading and through installing (a
# fresh machine spends minutes here), from apt's own progress reports.
apt_install() {
  local log status
  log=$(mktemp)
  echo "Installing: $*"
  apt-get -o APT::Status-Fd=3 install -y --no-install-recommends "$@" 3>&1 >"$log" 2>&1 |
    awk -F: '
      $1 == "dlstatus" { phase = "downloading" }
      $1 == "pmstatus" { phase = "installing" }
      phase == "" { next }
      {
        percent = int($3)
        if (phase != shown) { shown = phase; next_step = 0 }
        if (percent >= next_step) {
          printf "   %s %3d%%\n", phase, percent; fflush()
          next_step = int(percent / 10) * 10 + 10
        }
        phase = ""
      }'
  status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || tail -n 20 "$log" >&2
  rm -f "$log"
  return "$status"
}

# A package of another architecture (wine32:i386) needs that architecture
# added before apt-get update lists its packages.
for p in "${missing_required[@]}"; do
  arch=${p#*:}
  if [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
      ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
  fi
done
archive=1
apt-get update -qq || archive=0

if [ "${#missing_required[@]}" -gt 0 ]; then
  if [ "$archive" -eq 0 ] || ! apt_install "${missing_required[@]}"; then
    echo "apt-get could not install: ${missing_required[*]}" >&2
    exit 1
  fi
fi
if [ "${#missing_tests[@]}" -gt 0 ]; then
  # One package the archive lacks must not keep the others out.
  if [ "$archive" -eq 0 ] || ! apt_install "${missing_tests[@]}"; then
    for p in "${missing_tests[@]}"; do
      [ "$archive" -eq 0 ] || apt_install "$p" || true
    done
    mapfile -t still < <(missing_of "${missing_tests[@]}")
    [ "${#still[@]}" -eq 0 ] ||
      echo "apt-get could not install ${still[*]}: the tests that use them skip" >&2
  fi
fi
