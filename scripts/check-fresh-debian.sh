#!/usr/bin/env bash
# Checks the README's promise before a release: on a fresh Debian 12 with
# only what a new development machine has (g++, cmake with CTest, GoogleTest,
# Google Benchmark, git), `bash scripts/run.sh` and `bash scripts/test.sh`
# install what they lack and pass.
#   scripts/check-fresh-debian.sh [--keep] [WORK_DIR]
# Run as root. Makes the system with debootstrap in WORK_DIR/root (default
# /var/tmp/varnolet-fresh-debian; a system left there by an earlier check is
# removed first), clones the repository's committed state (HEAD) into it, and
# runs both commands there as root in a chroot with /proc, /sys and /dev
# mounted (Wine needs them), unmounting them again however it ends. Prints
# each command's exit status, time and closing line; the whole output of each
# is in WORK_DIR/run.log and WORK_DIR/test.log. The system is removed at the
# end unless --keep is given. Packages come from the Debian mirror this
# machine's apt uses (VARNOLET_DEBIAN_MIRROR overrides it). Takes a fresh
# installation's time: the test command alone took from 16 minutes to over an
# hour on 2 cores, as other builds shared them.
set -euo pipefail

keep=0
if [ "${1:-}" = "--keep" ]; then
  keep=1
  shift
fi
if [ $# -gt 1 ]; then
  echo "usage: $0 [--keep] [WORK_DIR]" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "$0: debootstrap and chroot need root" >&2
  exit 1
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/var/tmp/varnolet-fresh-debian}
mkdir -p "$work"
work=$(cd "$work" && pwd)
system=$work/root
# What the issue that asked for this check found on such a machine: nothing
# beyond the compiler, the build system, the two test libraries and git.
baseline=(g++ cmake libgtest-dev libgmock-dev libbenchmark-dev git)

case "$system" in
  / | /bin* | /boot* | /dev* | /etc* | /lib* | /proc* | /sys* | /usr* | "$repo" | "$repo"/*)
    echo "$0: $work is no place for a scratch system" >&2
    exit 1 ;;
esac

# mounts_below DIR: the mount points at or below DIR, deepest first.
mounts_below() {
  awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}

# Processes still running inside the system (Wine's server outlives the
# tests) would keep its /dev busy: they are ours, ended by their ids.
stop_processes_inside() {
  local p root_dir pids=()
  for p in /proc/[0-9]*; do
    root_dir=$(readlink "$p/root" 2>/dev/null) || continue
    case "$root_dir" in "$system" | "$system"/*) pids+=("${p#/proc/}") ;; esac
  done
  [ "${#pids[@]}" -eq 0 ] && return 0
  kill "${pids[@]}" 2>/dev/null || true
  sleep 2
  kill -9 "${pids[@]}" 2>/dev/null || true
}

unmount_all() {
  local point
  stop_processes_inside
  while read -r point; do
    [ -n "$point" ] || continue
    umount "$point" 2>/dev/null || umount -l "$point" || true
  done < <(mounts_below "$system")
}

# Removing a system that still has the host's /dev or /sys mounted inside
# would remove the host's own: refuse unless nothing is mounted there.
remove_system() {
  unmount_all
  if [ -n "$(mounts_below "$system")" ]; then
    echo "$0: still mounted below $system, not removing it:" >&2
    mounts_below "$system" >&2
    return 1
  fi
  rm -rf --one-file-system "$system"
}

finish() {
  local status=$?
  unmount_all
  if [ -n "$(mounts_below "$system")" ]; then
    echo "$0: could not unmount everything below $system:" >&2
    mounts_below "$system" >&2
    status=1
  elif [ "$keep" -eq 0 ] && [ -d "$system" ]; then
    rm -rf --one-file-system "$system"
  fi
  exit "$status"
}

# The mirror this machine's apt uses, from either form of its source lists.
mirror_of() {
  local pattern=$1
  { grep -hsE '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{ for (i = 2; i <= NF; i++) print $i }'
    grep -hsE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
      sed -E 's/^deb +(\[[^]]*\] +)?//' | awk '{ print $1 }'
  } | grep -E "$pattern" | head -n 1 || true
}
mirror=${VARNOLET_DEBIAN_MIRROR:-$(mirror_of '/debian/?$')}
mirror=${mirror:-http://deb.debian.org/debian}
security=$(mirror_of '/debian-security/?$')

if [ -n "$(git -C "$repo" status --porcelain)" ]; then
  echo "Note: $repo has uncommitted changes; the check uses the committed state only."
fi
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null

start=$SECONDS
[ ! -e "$system" ] || remove_system
trap finish EXIT
trap 'exit 130' INT TERM HUP
echo "== making Debian 12 in $system from $mirror"
debootstrap --variant=minbase bookworm "$system" "$mirror" >"$work/debootstrap.log" 2>&1 || {
  tail -n 20 "$work/debootstrap.log"
  echo "debootstrap failed (the whole output is in $work/debootstrap.log)" >&2
  exit 1
}
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$system/etc/apt/sources.list"
cp /etc/resolv.conf "$system/etc/resolv.conf" 2>/dev/null || true

mount -t proc proc "$system/proc"
for dir in sys dev; do
  mount --rbind "/$dir" "$system/$dir"
  # Unmounting inside must not reach the host's own mounts.
  mount --make-rslave "$system/$dir"
done

inside() {
  env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$system" /bin/bash -c "$1"
}

echo "== installing the baseline: ${baseline[*]}"
inside "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq &&
        apt-get install -y -qq --no-install-recommends ${baseline[*]}" >"$work/baseline.log" 2>&1 || {
  tail -n 20 "$work/baseline.log"
  echo "installing the baseline failed" >&2
  exit 1
}
echo "   the system took $((SECONDS - start)) s"

head=$(git -C "$repo" rev-parse HEAD)
git clone -q "$repo" "$system/root/varnolet"
git -C "$system/root/varnolet" fetch -q "$repo" "$head"
git -C "$system/root/varnolet" checkout -q --detach "$head"
echo "== cloned $head ($(git -C "$repo" log -1 --format=%s "$head"))"

results=()
overall=0
for command in run test; do
  echo "== bash scripts/$command.sh"
  began=$SECONDS
  set +e
  inside "cd /root/varnolet && bash scripts/$command.sh" </dev/null 2>&1 | tee "$work/$command.log"
  status=${PIPESTATUS[0]}
  set -e
  took=$((SECONDS - began))
  closing=$(grep -v '^[[:space:]]*$' "$work/$command.log" | tail -n 1)
  results+=("$(printf 'scripts/%s.sh: exit %d after %d min %02d s; closing line: %s' \
    "$command" "$status" $((took / 60)) $((took % 60)) "$closing")")
  [ "$status" -eq 0 ] || overall=1
done

echo
echo "== on a fresh Debian 12 ($(cat "$system/etc/debian_version")):"
for line in "${results[@]}"; do echo "   $line"; done
exit "$overall"
