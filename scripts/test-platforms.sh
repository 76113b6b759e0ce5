#!/usr/bin/env bash
# Builds and tests the module for the platforms beyond the native one:
#   scripts/test-platforms.sh BUILD_ROOT
# - windows-x86_64: varnolet.dll, the VST3 bundle and varnolet.clap cross-compiled with
#   MinGW-w64, every test cross-compiled too and run under Wine, plus a check
#   of the binaries' export and import tables;
# - windows-x86: the same for 32-bit Windows, under 32-bit Wine (wine32);
# - the archive for Windows users, made with cpack -G ZIP in the 64-bit
#   build from both, and checked file by file;
# - linux-x86: a 32-bit build of the module and every test, run natively;
# - linux-arm64: the module, the LV2 bundle, the VST3 bundle and the CLAP
#   plug-in cross-compiled for 64-bit ARM with every test, run under
#   qemu-aarch64, and its arm64 Debian packages made and checked (lintian,
#   and the dependencies they state).
# Each compares its module's, its VST3 bundle's and its CLAP plug-in's
# fingerprints (module_digest) with those of a native x86-64 build made
# alongside. VARNOLET_PLATFORMS, when set, names the builds to make (e.g.
# "linux-arm64"); all of them otherwise. Installs what is missing with apt-get
# when run as root. Prints ctest's summary for each build and the time each
# took; exits non-zero when anything fails.
set -uo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_ROOT" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
build_root=$(cd "$1" && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# --- what the builds need ---------------------------------------------------
bash "$root/scripts/setup.sh" --strict --platforms || exit 1
# shellcheck source=scripts/build-log.sh
. "$root/scripts/build-log.sh"
# shellcheck source=scripts/ctest-outcome.sh
. "$root/scripts/ctest-outcome.sh"

status=0
summary=()

# configure NAME DIR ARGS...: configures, or says why not.
configure() {
  local name=$1 dir=$2
  shift 2
  if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVARNOLET_BENCH=OFF \
      -DVARNOLET_HOST_TOOL=OFF "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"
    echo "== $name: configuration failed"
    return 1
  fi
}

# build NAME DIR [TARGETS...]
build() {
  local name=$1 dir=$2
  shift 2
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  if ! logged_build "$dir.build.log" cmake --build "$dir" -j"$jobs" "${targets[@]}"; then
    tail -n 60 "$dir.build.log"
    echo "== $name: build failed"
    return 1
  fi
  if ! build_warnings "$dir.build.log"; then
    echo "== $name: the build has warnings (all of them in $dir.build.log)"
    return 1
  fi
}

# --- the native fingerprint the others must match ----------------------------
reference_dir=$build_root/platform-reference
reference=$build_root/platform-reference.digest
vst3_reference=$build_root/platform-reference-vst3.digest
clap_reference=$build_root/platform-reference-clap.digest
start=$SECONDS
echo "== native x86-64 reference: building the module, the VST3 bundle, the CLAP plug-in and module_digest"
if configure reference "$reference_dir" \
    && build reference "$reference_dir" varnolet varnolet_vst3 varnolet_clap module_digest \
      varnolet_factory_bank_file \
    && "$reference_dir/module_digest" "$reference_dir/varnolet.so" >"$reference" \
    && "$reference_dir/module_digest" "$reference_dir/varnolet.vst3" >"$vst3_reference" \
    && "$reference_dir/module_digest" "$reference_dir/varnolet.clap" >"$clap_reference"; then
  summary+=("native x86-64 reference: $((SECONDS - start)) s")
else
  echo "== native x86-64 reference: failed; the other builds are not compared with it"
  reference=""
  vst3_reference=""
  clap_reference=""
  status=1
fi

# run_platform NAME TOOLCHAIN-FILE [CTEST-ARGS...]: configures, builds and
# runs every test.
# selected NAME: whether VARNOLET_PLATFORMS asks for that build.
selected() {
  case " ${VARNOLET_PLATFORMS:-$1} " in
    *" $1 "*) return 0 ;;
    *) return 1 ;;
  esac
}

run_platform() {
  local name=$1 toolchain=$2
  shift 2
  selected "$name" || return
  local ctest_args=("$@")
  local dir=$build_root/$name
  local start=$SECONDS
  echo "== $name: building"
  mkdir -p "$dir"
  if ! configure "$name" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
      -DVARNOLET_DIGEST_REFERENCE="$reference" -DVARNOLET_VST3_DIGEST_REFERENCE="$vst3_reference" \
      -DVARNOLET_CLAP_DIGEST_REFERENCE="$clap_reference"; then
    status=1
    summary+=("$name: configuration failed")
    return
  fi
  local built=$SECONDS
  if ! build "$name" "$dir"; then
    status=1
    summary+=("$name: build failed, or built with warnings")
    return
  fi
  echo "== $name: built in $((SECONDS - built)) s, testing"
  rm -f "$dir.junit.xml"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 900 --output-junit "$dir.junit.xml" \
    "${ctest_args[@]}") | tee "$dir.test.log"
  local tested=${PIPESTATUS[0]}
  local skips=""
  [ ! -f "$dir.junit.xml" ] || skips=$(bash "$root/scripts/skipped-cases.sh" "$dir.junit.xml")
  [ -z "$skips" ] || printf '== %s: skipped, and why:\n%s\n' "$name" "$skips"
  [ "$tested" -eq 0 ] || status=1
  local retried
  # A case that skips itself (ctest's "***Skipped") ran once and is no retry.
  retried=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*' "$dir.test.log" | grep -v '\*\*\*Skipped' \
    | sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*/\1/' | sort -u)
  if [ -n "$retried" ] && [ "$tested" -eq 0 ]; then
    echo "== $name: failed once and passed when run again (output above):"
    echo "$retried" | sed 's/^/   /'
  fi
  # Said otherwise than ctest's own line, which callers count.
  local again=""
  [ -z "$retried" ] || again=" ($(echo "$retried" | wc -l) passed only when run again)"
  summary+=("$name: $((SECONDS - start)) s, $(suite_outcome "$dir.test.log" "$tested")$again")
  echo "== $name: done in $((SECONDS - start)) s"
}

# The Wine server of a build's prefix would otherwise linger a while.
stop_wine_server() {
  local server
  for server in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
    if command -v "$server" >/dev/null 2>&1; then
      WINEPREFIX=$build_root/$1/wineprefix "$server" -k 2>/dev/null
      break
    fi
  done
}

# Under Wine a test that fails is run once more: Wine itself now and then
# ends a program at its start with a failing status and no output. A failure
# that repeats fails the build; one that does not is listed.
run_platform windows-x86_64 mingw-w64-x86_64.cmake --repeat until-pass:2
stop_wine_server windows-x86_64
run_platform windows-x86 mingw-w64-i686.cmake --repeat until-pass:2
stop_wine_server windows-x86

# The archive for Windows users: the 64-bit build, told where the 32-bit one
# is, packs both.
windows_archive() {
  local dir=$build_root/windows-x86_64 start=$SECONDS
  local version
  version=$(sed -nE 's/^CMAKE_PROJECT_VERSION:STATIC=(.*)$/\1/p' "$dir/CMakeCache.txt")
  echo "== windows archive: cpack -G ZIP"
  if ! cmake -DVARNOLET_WINDOWS_X86_BUILD="$build_root/windows-x86" "$dir" >"$dir.archive.log" 2>&1 ||
      ! (cd "$dir" && cpack -G ZIP) >>"$dir.archive.log" 2>&1; then
    cat "$dir.archive.log"
    summary+=("windows archive: cpack failed")
    status=1
    return
  fi
  if bash "$root/tests/packaging/windows_archive_check.sh" "$dir/varnolet-delay-$version-windows.zip" \
      "$version" "$reference_dir/varnolet-factory.fxb"; then
    summary+=("windows archive: $((SECONDS - start)) s, checked")
  else
    summary+=("windows archive: the check failed")
    status=1
  fi
}
if selected windows-x86_64 && selected windows-x86; then windows_archive; fi
run_platform linux-x86 linux-i686.cmake

# Every test runs under emulation too: the slowest, the elementary
# functions' sweeps, take two minutes there.
run_platform linux-arm64 aarch64-linux-gnu.cmake

echo "== platform builds:"
for line in "${summary[@]}"; do echo "   $line"; done
exit "$status"
