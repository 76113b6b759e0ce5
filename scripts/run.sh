#!/usr/bin/env bash
# The main job: builds everything, shows what a host sees of the built
# plug-in, and renders a demo through it into out/. Installs what it lacks
# (as root) first.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNOLET_BUILD:-$root/build}
out=${VARNOLET_OUT:-$root/out}

bash "$root/scripts/setup.sh"
# shellcheck source=scripts/build-log.sh
. "$root/scripts/build-log.sh"

mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >"$build/configure.log" 2>&1; then
  cat "$build/configure.log"
  echo "Configuring $build failed" >&2
  exit 1
fi
echo "Building into $build (the whole output goes to $build/build.log)"
if ! logged_build "$build/build.log" cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)"; then
  tail -n 60 "$build/build.log"
  echo "The build failed" >&2
  exit 1
fi
build_warnings "$build/build.log" || echo "(these warnings are in $build/build.log too)"

echo "Built $build/varnolet.so"
echo
"$build/vst2host" info "$build/varnolet.so"
echo
bash "$root/scripts/demo.sh" "$build" "$out"
