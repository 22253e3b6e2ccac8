#!/usr/bin/env bash
# The full screen end to end on an 800x600 display, where the mode change succeeds: F1 gives a
# borderless window over the whole screen with the cursor hidden, a second F1 the framed window
# with the cursor shown, and Escape while fullscreen restores the desktop mode and exits with 27.
# Usage: fullscreen.sh native|wine BUILD_DIR CURSOR_SHOWN (the cursor-shown test program)
mode=$1
build=$(cd "$2" && pwd)
cursor_shown=$3
source "$(dirname "$0")/../lib.sh"

# Whether the pointer's cursor shows over the middle of the screen (asked through XFixes).
cursor_visible() { xdotool mousemove 400 300; "$cursor_shown"; }
cursor_hidden() { xdotool mousemove 400 300; ! "$cursor_shown"; }

# Prints the viewer's new window once window OLD is gone.
next_window() {
  send_key "$1" F1 window_gone "$1" && wait_viewer_window
}

[ "$(xdpyinfo | awk '/dimensions:/ {print $2}')" = 800x600 ] || { echo "needs an 800x600 display"; exit 2; }
cp "$repo/sphere.txt" "$work/"
at "windowed start"
start_viewer
id=$(wait_viewer_window); check "window appears" $? || { finish; exit; }
wait_for 30 shows_above "$id" cyan 20; check "cyan points drawn" $?

at "F1 to the full screen"
id=$(next_window "$id"); check "F1 gives a new window" $? || { finish; exit; }
read -r cx cy cw ch <<<"$(client_area "$id")"
[ "$cx,$cy,$cw,$ch" = "0,0,800,600" ]; check "it covers the screen from (0,0), no frame (got $cx,$cy ${cw}x$ch)" $?
wait_for 30 cursor_hidden; check "the cursor is hidden" $?
wait_for 30 shows_above "$id" cyan 20; check "fullscreen draws the points" $?

at "F1 back to the window"
id=$(next_window "$id"); check "a second F1 gives a new window" $? || { finish; exit; }
read -r cx cy cw ch <<<"$(client_area "$id")"
[ "$cw" = 800 ] && [ "$ch" = 600 ] && [ "$cy" -gt 0 ]
check "the framed 800 x 600 window is back (client at $cx,$cy ${cw}x$ch)" $?
wait_for 30 cursor_visible; check "the cursor shows again" $?

at "Escape while fullscreen"
id=$(next_window "$id"); check "F1 once more" $? || { finish; exit; }
read -r cx cy cw ch <<<"$(client_area "$id")"
[ "$cx,$cy" = "0,0" ]; check "fullscreen again" $?
send_key "$id" Escape viewer_ended
code=$(wait_exit); check "Escape while fullscreen exits with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
[ "$screen" = 800x600 ]; check "the desktop mode is back (screen $screen)" $?
wait_for 30 cursor_visible; check "the cursor shows on the desktop" $?
finish
