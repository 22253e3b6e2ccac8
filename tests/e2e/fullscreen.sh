#!/usr/bin/env bash
# F1 switches end to end, then Escape (27). On an 800x600 display each F1 enters or leaves the
# full screen: a borderless window over the whole screen from (0,0) with the cursor hidden, then
# the framed 800x600 window with the cursor shown; Escape, also while fullscreen, gives the
# desktop mode back. On a larger display the mode is refused and the question answered Yes: the
# framed window stays. From 40 switches on it is a soak: resident memory, open files and X
# windows must stay flat (within 10 %) from the 20th switch to the last.
# Usage: fullscreen.sh native|wine BUILD_DIR CURSOR_SHOWN SWITCHES; CURSOR_SHOWN is the program
# that asks the X server (XFixes) whether the cursor shows. Runs on DISPLAY.
mode=$1 build=$(cd "$2" && pwd) cursor_shown=$3 switches=$4
source "$(dirname "$0")/../lib.sh"
# The screen's size, WIDTHxHEIGHT.
screen_size() { xdpyinfo | awk '/dimensions:/ {print $2}'; }
screen=$(screen_size)
# The windows: what each is, its client area "x y width height" (a regular expression), and
# whether the cursor over it shows (0) or is hidden (1). Each F1 gives the next where the mode is
# granted; where it is refused the framed window stays. The framed window asks for 800x600; on an
# 800x600 screen a window manager may shrink its frame to fit, which leaves a little less (Wine's
# resizable frame: 798x575).
kinds=("the framed 800x600 window, cursor shown;^-?[0-9]+ [1-9][0-9]* (800 600|7[5-9][0-9] 5[5-9][0-9])$;0"
  "borderless over the whole screen from (0,0), cursor hidden;^0 0 800 600$;1")
[ "$screen" = 800x600 ]; granted=$((!$?))

# Whether the cursor over the middle of the screen shows (0) or is hidden (1).
cursor() { xdotool mousemove 400 300; "$cursor_shown"; [ $? = "$1" ]; }

# F1 on the viewer's window until it goes; where the mode is refused the question must come, and
# is answered Yes. The new window's id in id.
switch_window() {
  send_key "$id" F1 eval '! xwininfo -id "$id" >/dev/null 2>&1' &&
    { ((granted)) || answer_box "Vexa GL" Return; } && viewer_window
}

# Resident memory (kB), open files and X windows of the viewer's process (under Wine the
# Windows program's, found by its working folder).
usage() {
  local pid=$viewer_pid p; for p in $(pgrep -f 'viewer\.exe'); do [ "$(readlink "/proc/$p/cwd")" = "$work" ] && pid=$p; done
  echo "$(awk '/VmRSS/ {print $2}' "/proc/$pid/status") $(ls "/proc/$pid/fd" | wc -l) $(xwininfo -root -tree | wc -l)"
}

run_viewer || { finish; exit; }
for ((switch = 0; switch <= switches; switch++)); do
  ((switch == 0)) || { at "switch $switch"; switch_window; check "F1 gives a new window (refused: after the question)" $? || break; }
  IFS=';' read -r what shape hidden <<<"${kinds[granted * (switch % 2)]}"
  wait_for 30 eval 'area=$(client_area "$id"); [[ $area =~ $shape ]]' && wait_for 30 cursor "$hidden" &&
    wait_for 30 shows "$id" cyan 20
  check "$what, drawing the points (client area $area)" $?
  ((switch == 20)) && early=($(usage))
done
if ((switches >= 40)); then
  late=($(usage))
  for q in "0 resident memory (kB)" "1 open files" "2 X windows"; do
    i=${q%% *} q=${q#* }; [ "${late[i]:-}" -le $((${early[i]:-0} * 11 / 10)) ] 2>/dev/null
    check "$q flat within 10 % from switch 20 to $switches (${early[i]:-} -> ${late[i]:-})" $?
  done
fi
escape_exits
[ "$(screen_size)" = "$screen" ] && wait_for 30 cursor 0
check "the desktop mode ($screen) is back, with the cursor shown" $?
finish
