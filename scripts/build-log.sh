# shellcheck shell=bash
# Sourced by the scripts that build: runs a step into a log of its own and
# shows on the terminal only enough to tell that it is working, and checks
# the log for warnings.

# logged_build LOG COMMAND...: runs COMMAND (a cmake build) with all its
# output in LOG, printing a line whenever it has come another tenth of the way
# (the build's own "[ NN%]" lines from Make, "[N/M]" from Ninja) with the
# time so far, and the step it is at whenever a minute has passed without
# one (BUILD_LOG_QUIET_SECONDS): Make's last tenth can be minutes of heavy
# test programs. Returns COMMAND's status.
logged_build() {
  local log=$1
  shift
  "$@" 2>&1 | _build_progress "$log"
  return "${PIPESTATUS[0]}"
}

_build_progress() {
  local line="" part percent="" next=10 start=$SECONDS shown=$SECONDS step="" got
  local quiet=${BUILD_LOG_QUIET_SECONDS:-60}
  while :; do
    got=0
    if IFS= read -r -t 5 part; then
      got=1
    elif [ $? -le 128 ]; then  # the end, perhaps after a last line without newline
      [ -z "$line$part" ] || printf '%s\n' "$line$part" >&4
      break
    fi
    # A timeout leaves what came of an unfinished line in part.
    line+=$part
    if [ "$got" -eq 1 ]; then
      printf '%s\n' "$line" >&4
      if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
        percent=${BASH_REMATCH[1]}
        step=${line#*] }
      elif [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] && [ "${BASH_REMATCH[2]}" -gt 0 ]; then
        percent=$((100 * BASH_REMATCH[1] / BASH_REMATCH[2]))
        step=${line#*] }
      fi
      line=""
    fi
    [ -n "$step" ] || continue
    # Make's percentages come per target and may step back a little when two
    # targets build at once: only a new tenth is shown, or the step it is at
    # after a quiet while.
    if [ "$percent" -ge "$next" ] || [ $((SECONDS - shown)) -ge "$quiet" ]; then
      printf '   [%3d%%] %3d s  %s\n' "$percent" $((SECONDS - start)) "$step"
      [ "$percent" -lt "$next" ] || next=$((percent / 10 * 10 + 10))
      shown=$SECONDS
    fi
  done 4>"$1"
}

# build_warnings LOG: prints the distinct warnings in a build's LOG (the
# compiler's and the linker's) and fails when there is one.
build_warnings() {
  local found
  found=$(grep -E "warning:" "$1" | sort -u)
  [ -n "$found" ] || return 0
  echo "$found" | head -n 20
  [ "$(echo "$found" | wc -l)" -le 20 ] || echo "   ... and more in $1"
  return 1
}
