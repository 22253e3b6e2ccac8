#!/usr/bin/env bash
# The viewer end to end on a 1024x768 display (where its 800x600 mode is refused), driven by
# real X input: screenshots, boxes and exit codes.
# Usage: viewer.sh native|wine BUILD_DIR; runs on DISPLAY (tools/with-display.sh gives one).
mode=$1 build=$(cd "$2" && pwd)
source "$(dirname "$0")/../lib.sh"

[ "$mode" = native ] || { at "resources"
  resources=$(objdump -p "$build/viewer.exe") && grep -q 'Entry: ID: 0x00000e' <<<"$resources" &&
    [ "$(grep -c 'Entry: ID: 0x000018' <<<"$resources")" = 1 ] && [ "$(strings -el "$build/viewer.exe" | grep -cx '1.0.0')" = 2 ] &&
    strings "$build/viewer.exe" | grep -q 'level="asInvoker" uiAccess="false"'
  check "viewer.exe holds an icon group, the version 1.0.0 and one manifest resource, asInvoker" $?; }

# The overlay's position and speed lines, their red pixels only, into FILE.png; whether they
# differ from their shot in was.png.
lines() { shoot "$id" "$work/$1.png" 240x56+560+527 && convert "$work/$1.png" -fuzz 25% -fill black +opaque red "$work/$1.png"; }
lines_changed() { lines now && ! compare -metric AE "$work/was.png" "$work/now.png" null: 2>/dev/null; }

# The default file, sphere.txt from the working folder (where it shows: e2e-mouse), then each key.
at "default file, control keys"
run_viewer && client=$(client_area "$id")
# At the screen's top-left: only the window manager's frame lies before the client area.
[[ $client =~ ^[0-8]\ ([0-9]|[12][0-9]|3[0-2])\ 800\ 600$ ]]; check "client area 800x600 at the top-left (got $client)" $?
wait_for 30 shows "$id" cyan 20 && lines now
for key in Prior Next Up Down Left Right q z w s d a; do
  mv "$work/now.png" "$work/was.png"; send_key "$id" $key lines_changed; check "$key changes its overlay line" $?
done
# Escape tapped while the window is minimised is ignored, also on the frame after the restore:
# there a key only counts while held. R, pressed after it and held until the restore, acts:
# so the Escape was read while the window was minimised. Restored, Escape quits.
at "Escape while minimised"
lines was; xdotool windowminimize --sync "$id" && xdotool key --window "$id" Escape && xdotool keydown --window "$id" r
xdotool windowactivate --sync "$id"; wait_for 30 lines_changed && ! viewer_ended
check "Escape tapped while minimised ignored; R held meanwhile acting once restored" $?
xdotool keyup --window "$id" r
escape_exits

# F1 tapped once switches once: one question, then the new window goes on (R acts) without another.
at "F1 tapped"
run_viewer && xdotool windowfocus --sync "$id" && xdotool key F1 && answer_box "Vexa GL" Return && viewer_window &&
  lines was && send_key "$id" r lines_changed && no_box "Vexa GL"
check "F1 tapped: one question, one new window" $?
escape_exits

# A file that cannot be opened: the box, and no window while it is up; then an empty cloud.
at "missing file"; start_viewer missing-cloud.txt
wait_for 60 box_named "SHUTDOWN ERROR" >/dev/null && wait_for 60 box_seen "couldn't open file" &&
  ! window_named "$title" >/dev/null
check "a box captioned SHUTDOWN ERROR says \"couldn't open file\", and no window is up yet" $?
answer_box "SHUTDOWN ERROR" Return; viewer_window; check "then the window opens" $?
# Once the overlay shows, the frame is drawn: no point in it.
wait_for 30 shows "$id" blue 100 && [ "$(colour_pixels cyan "$work/shown.png")" = 0 ]
check "the window shows the overlay and an empty cloud" $?
escape_exits

at "F1 answered No"
run_viewer && send_key "$id" F1 box_named "Vexa GL" && wait_for 30 box_seen "Use Windowed Mode Instead?"
check "the refused mode asks \"Use Windowed Mode Instead?\", in a box captioned Vexa GL" $?
answer_box "Vexa GL" Escape; wait_for 60 box_seen "Program Will Now Close."; check "No: 'Program Will Now Close.'" $?
answer_box ERROR Return; exits_with 0 "the refused switch"

# R and 5, tapped once on a cloud of 500,000 points, whose frames are long enough that a tap
# mostly goes down and up between two of them: each still counts, for the next frame. R moves
# the cloud's right edge into a strip it never reaches from the start position; 5 fills the
# middle, which the first size leaves dark.
at "keys tapped on a big cloud"
for _ in $(seq 100); do cat "$repo/sphere.txt"; done >"$work/big.txt"
run_viewer big.txt && wait_for 60 shows "$id" cyan 0
xdotool windowfocus --sync "$id"; xdotool key r 5
wait_for 60 eval 'shows "$id" cyan 0 40x90+540+340 && shows "$id" cyan 1200 40x40+470+367'
check "R moves the cloud into the edge strip and 5 fills its middle" $?
at "close"; send_key "$id" alt+F4 viewer_ended; exits_with 0 "closing the window (Alt+F4 through the window manager)"

# Natively, without a display or with one that does not answer, no window is made: the
# creation failure's box cannot show, so its text goes to standard error, and the viewer ends.
[ "$mode" = native ] && for display in "" :9999; do
  at "DISPLAY '$display'"
  said=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY ${display:+DISPLAY=$display} timeout 120 "$build/viewer" 2>&1 >/dev/null)
  code=$?; grep -qxF "ERROR: Window Creation Error." <<<"$said" && [ "$code" = 0 ]
  check "\"ERROR: Window Creation Error.\" on standard error, then exit 0 (got $code; said: ${said//$'\n'/ | })" $?
done
# Natively --help and --version answer on standard output, with no display needed, and exit 0.
[ "$mode" = native ] && { at "--help, --version"
  help=$(env -u DISPLAY "$build/viewer" --help) && version=$(env -u DISPLAY "$build/viewer" --version)
  [[ $? = 0 && $help == "Usage: quillmere-viewer [FILE]"$'\n'* && ${version%%$'\n'*} =~ ^quillmere-viewer\ [0-9.]+$ ]]
  check "the usage and the version, exit 0 (said: ${help%%$'\n'*} | ${version%%$'\n'*})" $?; }
finish
