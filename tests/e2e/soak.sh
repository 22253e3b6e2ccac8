#!/usr/bin/env bash
# Soak: display-mode switches in one run, then Escape. On an 800x600 display each F1 enters or
# leaves the full screen; on a larger one the mode is refused and the question answered Yes.
# Resident memory, open files and X windows must stay flat (within 10 %) from the 20th switch
# (the middle one in shorter runs) to the last; the viewer must not crash.
# Usage: soak.sh native|wine BUILD_DIR [SWITCHES] (default 200)
mode=$1
build=$(cd "$2" && pwd)
switches=${3:-200}
source "$(dirname "$0")/../lib.sh"
early=$((switches < 40 ? switches / 2 : 20))

# The viewer's own process: under Wine the Windows program's, found by its working folder.
viewer_process() {
  local pid
  if [ "$mode" = wine ]; then
    for pid in $(pgrep -f 'viewer\.exe'); do
      [ "$(readlink "/proc/$pid/cwd")" = "$work" ] && { echo "$pid"; return; }
    done
  fi
  echo "$viewer_pid"
}

# Resident memory (kB), open files and X windows, in one line.
usage() {
  local pid
  pid=$(viewer_process)
  echo "$(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null) $(ls "/proc/$pid/fd" 2>/dev/null | wc -l)" \
    "$(xwininfo -root -tree | wc -l)"
}

# Whether b stays within 10 % above a.
flat() { [ -n "$1" ] && [ -n "$2" ] && [ "$2" -le $(($1 + $1 / 10)) ]; }

# Whether the question or a viewer window is up.
question_or_window() { box_named "Vexa GL" || window_named "$title"; }

# One switch of window ID: F1 until the window goes, the question answered if asked; prints the new window.
switch_window() {
  send_key "$1" F1 window_gone "$1" || return 1
  wait_for 60 question_or_window >/dev/null || return 1
  if box_named "Vexa GL" >/dev/null; then answer_box "Vexa GL" Return || return 1; fi
  wait_viewer_window
}

cp "$repo/sphere.txt" "$work/"
start_viewer
id=$(wait_viewer_window); check "window appears" $? || { finish; exit; }
switch=0
while [ "$switch" -lt "$switches" ]; do
  switch=$((switch + 1))
  at "switch $switch"
  id=$(switch_window "$id") || break
  [ "$switch" = "$early" ] && early_usage=($(usage))
  [ "$switch" = "$switches" ] && late_usage=($(usage))
done
[ -n "$id" ] && [ "$switch" = "$switches" ]; check "$switches switches without a crash (reached $switch)" $?
echo "at switch $early: ${early_usage[*]:-?}; at switch $switches: ${late_usage[*]:-?} (VmRSS kB, open files, X windows)"
flat "${early_usage[0]:-}" "${late_usage[0]:-}"; check "resident memory flat within 10 %" $?
flat "${early_usage[1]:-}" "${late_usage[1]:-}"; check "open files flat within 10 %" $?
flat "${early_usage[2]:-}" "${late_usage[2]:-}"; check "X windows flat within 10 %" $?
at "Escape"
[ -n "$id" ] && send_key "$id" Escape viewer_ended
code=$(wait_exit); check "Escape ends the soak run with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
finish
