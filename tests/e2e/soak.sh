#!/usr/bin/env bash
# Soak: display-mode switches answered Yes in one run (200 unless SOAK_SWITCHES says
# otherwise), then Escape. Resident memory, open files and the number of X windows must
# stay flat from the 20th switch to the last; the viewer must not crash.
# Usage: soak.sh [BUILD_DIR] [native|wine]
mode=${2:-native}
source "$(cd "$(dirname "$0")" && pwd)/lib.sh"
if [ "$mode" = wine ]; then
  build=$(cd "${1:-$repo/build/win32}" && pwd)
  export WINEPREFIX=${WINEPREFIX:-/tmp/wineprefix-e2e}
else
  build=$(cd "${1:-$repo/build/native}" && pwd)
fi
switches=${SOAK_SWITCHES:-200}
# Short presses: the sphere draws in a few milliseconds, so a tenth of a second spans frames.
export PRESS_SETTLE=0.05 PRESS_HOLD=0.1
cp "$repo/sphere.txt" "$work/"

# The viewer's own process (the Windows program's under Wine).
viewer_process() {
  if [ "$mode" = wine ]; then pgrep -n -f 'viewer\.exe' || echo "$viewer_pid"; else echo "$viewer_pid"; fi
}

# Resident memory (kB), open files and X windows, in one line.
usage() {
  local pid
  pid=$(viewer_process)
  echo "$(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null) $(ls "/proc/$pid/fd" 2>/dev/null | wc -l) $(xwininfo -root -tree | wc -l)"
}

# Whether b stays within 10 % above a.
flat() { [ -n "$1" ] && [ -n "$2" ] && [ "$2" -le $(( $1 + $1 / 10 )) ]; }

start_viewer
id=$(wait_window "^$title\$"); check "window appears" $?
sleep 1
crashed=0
for switch in $(seq 1 "$switches"); do
  id=$(wait_window "^$title\$") || { crashed=1; break; }
  press "$id" F1
  answer_box "Vexa GL" Return || { crashed=1; break; }
  [ "$switch" = 20 ] && early=($(usage))
  [ "$switch" = "$switches" ] && late=($(usage))
  kill -0 "$viewer_pid" 2>/dev/null || { crashed=1; break; }
done
check "$switches switches without a crash" $crashed
echo "at switch 20: ${early[*]:-?}; at switch $switches: ${late[*]:-?} (VmRSS kB, open files, X windows)"
flat "${early[0]:-}" "${late[0]:-}"; check "resident memory flat within 10 %" $?
flat "${early[1]:-}" "${late[1]:-}"; check "open files flat within 10 %" $?
flat "${early[2]:-}" "${late[2]:-}"; check "X windows flat within 10 %" $?
id=$(wait_window "^$title\$") && press "$id" Escape
code=$(wait_exit); check "Escape ends the soak run with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
finish
