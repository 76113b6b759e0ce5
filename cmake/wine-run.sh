#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build's own:
#   wine-run.sh [--win32] PREFIX PROGRAM [ARGUMENTS...]
# CTest calls it for every test of a Windows build; --win32 runs a 32-bit
# program under 32-bit Wine (wine32) in a 32-bit prefix. The prefix is made
# on first use, under a lock, since tests running side by side would
# otherwise race to create it.
set -e
loaders="wine64 /usr/lib/wine/wine64 wine"
if [ "$1" = "--win32" ]; then
  export WINEARCH=win32
  loaders="/usr/lib/wine/wine wine"
  shift
fi
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No .NET or HTML engine: the prefix would try to install them. No debugger
# either: Wine's would catch a crash and exit with 0, so a crashing test
# passed; without it the program ends with its exception's code.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"
wine=${VARNOLET_WINE:-}
if [ -z "$wine" ]; then
  for candidate in $loaders; do
    if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
  done
fi
[ -n "$wine" ] || { echo "wine-run.sh: none of $loaders found" >&2; exit 127; }
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    for server in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
      if command -v "$server" >/dev/null 2>&1; then
        "$server" -w 2>/dev/null || true
        break
      fi
    done
  fi
) 9>"$prefix.lock"
exec "$wine" "$@"
