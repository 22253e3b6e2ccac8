#!/usr/bin/env bash
# End to end on the Windows build under Wine: the same checks, quoted names and the manifest.
# Usage: run-wine.sh [BUILD_DIR] (default build/win32); VIEWER_TEST_DISPLAY=1 uses the current display.
mode=wine
source "$(cd "$(dirname "$0")" && pwd)/lib.sh"
source "$here/checks.sh"
build=$(cd "${1:-$repo/build/win32}" && pwd)
[ -f "$build/viewer.exe" ] || { echo "no viewer.exe in $build"; exit 2; }
export WINEPREFIX=${WINEPREFIX:-/tmp/wineprefix-e2e}
export WINEDEBUG=-all

# (f) The manifest is embedded in the executable's resources.
i686-w64-mingw32-strings "$build/viewer.exe" | grep -q 'level="asInvoker" uiAccess="false"'
check "manifest resource in viewer.exe" $?
manifests=$(i686-w64-mingw32-objdump -p "$build/viewer.exe" | grep -c "Entry: ID: 0x000018")
[ "$manifests" = 1 ]; check "exactly one manifest resource type" $?

wineboot -i >/dev/null 2>&1
check_default_file
check_close
check_missing_file missing-cloud.txt
# A quoted name keeps its quotes: the open fails although the unquoted file exists.
cp "$repo/sphere.txt" "$work/quoted.txt"
check_missing_file '"quoted.txt"'
check_f1_yes
check_f1_no
check_keys_on_a_big_cloud
finish
