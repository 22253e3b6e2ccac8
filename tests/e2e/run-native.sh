#!/usr/bin/env bash
# End to end on the native build: real X input, screenshots and exit codes.
# Usage: run-native.sh [BUILD_DIR] (default build/native); VIEWER_TEST_DISPLAY=1 uses the current display.
mode=native
source "$(cd "$(dirname "$0")" && pwd)/lib.sh"
source "$here/checks.sh"
build=$(cd "${1:-$repo/build/native}" && pwd)
[ -x "$build/viewer" ] || { echo "no viewer in $build"; exit 2; }
check_default_file
check_close
check_missing_file missing-cloud.txt
# Names that are no regular file: refused at once, without reading (a FIFO has no writer).
check_missing_file .
check_missing_file /dev/zero
mkfifo "$work/no-writer.fifo" && check_missing_file no-writer.fifo
check_f1_yes
check_f1_no
check_keys_on_a_big_cloud
finish
