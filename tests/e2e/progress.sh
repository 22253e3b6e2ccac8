#!/usr/bin/env bash
# A long load's progress on the real viewer: a load made to take 3 s (VIEWER_TEST_LOAD_PAUSE_MS,
# read by test builds only) shows the progress window, "Quillmere viewer", before the viewer's
# window: the file's name in white above the bar's grey frame. Once the load ends it is gone, and
# the viewer's window opens on the points.
# Usage: progress.sh native|wine BUILD_DIR; runs on DISPLAY.
mode=$1 build=$(cd "$2" && pwd)
source "$(dirname "$0")/../lib.sh"

at "a long load"
VIEWER_TEST_LOAD_PAUSE_MS=3000 start_viewer
progress=$(wait_for 60 window_named "Quillmere viewer") && ! window_named "$title" >/dev/null
check "the progress window shows before the viewer's window" $?
wait_for 30 shows "$progress" white 40 380x22+12+4 && shows "$progress" gray 300 400x30+8+36
check "the file's name, and the bar's frame" $?
viewer_window; check "then the viewer's window opens" $?
wait_for 30 eval '! window_named "Quillmere viewer" >/dev/null'; check "and the progress window is gone" $?
wait_for 30 shows "$id" cyan 20; check "on the points" $?
escape_exits
finish
