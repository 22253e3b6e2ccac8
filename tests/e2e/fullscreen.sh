#!/usr/bin/env bash
# F1 switches end to end, then Escape (27). Where the 800x600 mode is granted each F1 enters or
# leaves the full screen: a borderless window over the whole screen from (0,0) in the 800x600
# mode with the cursor hidden, then the framed 800x600 window in the desktop's mode with the
# cursor shown; Escape, also while fullscreen, gives the desktop mode back. Where it is refused
# the question is answered Yes: the framed window stays. From 40 switches on it is a soak:
# resident memory, open files and X windows must stay flat (within 10 %) from the 20th switch on.
# Usage: fullscreen.sh native|wine BUILD_DIR CURSOR_SHOWN SWITCHES [granted]; CURSOR_SHOWN asks
# the X server (XFixes) whether the cursor shows; with "granted" the screen offers an 800x600
# mode beside its own, which the viewer is then granted (natively on a larger screen, whose mode
# the switches change; Wine on Xvfb takes it on an 800x600 screen only). Runs on DISPLAY.
mode=$1 build=$(cd "$2" && pwd) cursor_shown=$3 switches=$4 granted=0
[ "${5:-}" = granted ] && granted=1
source "$(dirname "$0")/../lib.sh"
# The screen's current size, WIDTHxHEIGHT.
screen_mode() { xrandr 2>/dev/null | sed -n 's/.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }
# The offered mode has timings (Xvfb's own has none, and Wine takes no mode without them).
((!granted)) || xrandr | grep -q 800x600_60 || { xrandr --newmode 800x600_60 40 800 840 968 1056 600 601 605 628 &&
  xrandr --addmode screen 800x600_60; } || { check "the screen offers an 800x600 mode" 1; finish; exit; }
desktop=$(screen_mode)
# The windows: what each is, its client area "x y width height" (a regular expression), whether
# the cursor over it shows (0) or is hidden (1), and the screen's mode. Each F1 gives the next
# where the mode is granted; where it is refused the framed window stays. The framed window asks for 800x600; on an
# 800x600 screen a window manager may shrink its frame to fit, which leaves a little less (Wine's
# resizable frame: 798x575).
kinds=("the framed 800x600 window, cursor shown, $desktop;^-?[0-9]+ [1-9][0-9]* (800 600|7[5-9][0-9] 5[5-9][0-9])$;0;$desktop"
  "borderless over the whole screen from (0,0), cursor hidden, 800x600;^0 0 800 600$;1;800x600")

# Whether the cursor over the middle of the screen shows (0) or is hidden (1).
cursor() { xdotool mousemove 400 300; "$cursor_shown"; [ $? = "$1" ]; }

# Resident memory (kB), open files and X windows of the viewer's process (under Wine the
# Windows program's, found by its working folder).
usage() {
  local pid=$viewer_pid p; for p in $(pgrep -f 'viewer\.exe'); do [ "$(readlink "/proc/$p/cwd")" = "$work" ] && pid=$p; done
  echo "$(awk '/VmRSS/ {print $2}' "/proc/$pid/status") $(ls "/proc/$pid/fd" | wc -l) $(xwininfo -root -tree | wc -l)"
}

run_viewer || { finish; exit; }
for ((switch = 0; switch <= switches; switch++)); do
  # F1 until the window goes; where the mode is refused the question must come, and is answered Yes.
  ((switch == 0)) || { at "switch $switch"; send_key "$id" F1 eval '! xwininfo -id "$id" >/dev/null 2>&1' &&
    { ((granted)) || answer_box "Vexa GL" Return; } && viewer_window
    check "F1 gives a new window (refused: after the question)" $? || break; }
  IFS=';' read -r what shape hidden want <<<"${kinds[granted * (switch % 2)]}"
  # Once a frame shows, the window's mode is set: a window mapped before it may pass for another.
  wait_for 30 cursor "$hidden" && wait_for 30 shows "$id" cyan 20 &&
    wait_for 30 eval 'area=$(client_area "$id") now=$(screen_mode); [[ $area =~ $shape ]] && [ "$now" = "$want" ]'
  check "$what, drawing the points (client area $area, mode $now)" $?
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
wait_for 30 eval 'now=$(screen_mode); [ "$now" = "$desktop" ]' && wait_for 30 cursor 0
check "the desktop mode ($desktop) is back, with the cursor shown (mode $now)" $?
# Natively, SIGTERM to the full-screen viewer ends it as closing its window does: 0, the mode back.
if [ "$mode" = native ] && ((granted && switches < 40)); then
  at "SIGTERM while full screen"
  run_viewer && send_key "$id" F1 eval '! xwininfo -id "$id" >/dev/null 2>&1' && viewer_window &&
    wait_for 30 eval 'now=$(screen_mode); [ "$now" = 800x600 ]'
  check "F1: full screen in the 800x600 mode (mode $now)" $?
  kill -TERM "$viewer_pid"; exits_with 0 "SIGTERM"
  wait_for 30 eval 'now=$(screen_mode); [ "$now" = "$desktop" ]'
  check "after SIGTERM the desktop mode ($desktop) is back (mode $now)" $?
fi
finish
