#!/usr/bin/env bash
# The main job: builds everything, shows what a host sees of the built
# plug-in, and renders a demo through it into out/. Installs what it lacks
# (as root) first.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNOLET_BUILD:-$root/build}
out=${VARNOLET_OUT:-$root/out}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

echo "Built $build/varnolet.so"
echo
"$build/vst2host" info "$build/varnolet.so"
echo
bash "$root/scripts/demo.sh" "$build" "$out"
