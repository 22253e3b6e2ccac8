#!/usr/bin/env bash
# The Windows packages as a user gets them, under Wine on DISPLAY: made by cpack from
# BUILD_DIR; the installer run silently (/S) into a fresh prefix of their own, the program
# started from its Start-menu shortcut: the sphere, Escape gives 27; the silent uninstaller
# leaves no installed file and no uninstall entry. The zip, unpacked, runs the same way.
# Usage: windows.sh BUILD_DIR
mode=wine build=$(cd "$1" && pwd)
source "$(dirname "$0")/../lib.sh"
# A prefix of this build's own, of the kind WINEARCH (win32 or win64) names; the packages' names end in it.
export WINEPREFIX=$build/wineprefix-package
package=quillmere-viewer-1.0.0-$WINEARCH
trap 'stop_viewer; wineserver -k 2>/dev/null; rm -rf "$work" "$WINEPREFIX"' EXIT
uninstall_key='Uninstall\\\\quillmere-viewer 1.0.0\]'

# Starts the viewer by this command (after NAME) in the current folder: the sphere, and Escape;
# its screenshot kept as package-NAME.png.
sphere_and_escape() {
  "${@:2}" >/dev/null 2>&1 & viewer_pid=$!
  viewer_window; check "the window appears" $? || { stop_viewer; return; }
  wait_for 30 shows "$id" cyan 20; check "sphere.txt from the working folder: cyan points" $?
  cp "$work/shown.png" "$logs/package-$1.png"; escape_exits
}

at "packages"
cpack -G "NSIS;ZIP" -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1
ls "$work"/pkg/$package.{exe,zip} >/dev/null; check "cpack makes the installer and the zip" $? ||
  { cat "$work/cpack.log"; finish; exit; }
objdump -p "$build/viewer.exe" | grep -q 'Entry: ID: 0x00000e' &&
  [ "$(strings -el "$build/viewer.exe" | grep -cx '1.0.0')" = 2 ]
check "viewer.exe carries an icon group and the version 1.0.0" $?

rm -rf "$WINEPREFIX"; wine wineboot -i >/dev/null 2>&1; wineserver -w
# The installer and its uninstaller are 32-bit programs (NSIS makes no other): where the kernel
# runs none, only the zip is tried.
install_and_uninstall() {
  at "install"
  wine "$(windows_path "$work/pkg/$package.exe")" /S; wineserver -w
  installed=$(find "$WINEPREFIX/drive_c" -ipath '*quillmere*' -type f | sort)
  shortcut=$(grep '/Quillmere viewer.lnk$' <<<"$installed")
  grep -q '/quillmere-viewer.exe$' <<<"$installed" && [ -n "$shortcut" ] && grep -q "$uninstall_key" "$WINEPREFIX/system.reg"
  check "installed: the program, its Start-menu shortcut, an uninstall entry ($(wc -l <<<"$installed") files)" $?
  { read -r target; read -r folder; } < <(python3 "$repo/tests/package/shortcut.py" "$shortcut")
  [ "$folder" != "" ] && cd "$(wine winepath -u "$folder")"; check "the shortcut's working folder: '$folder'" $?
  sphere_and_escape windows wine "$target"; cd "$repo"

  at "uninstall"
  wine "$(wine winepath -w "$(grep '/Uninstall.exe$' <<<"$installed")")" /S; wineserver -w
  left=$(find "$WINEPREFIX/drive_c" -ipath '*quillmere*' | sort)
  [ -z "$left" ]; check "no installed file left (left: ${left:-none})" $?
  ! grep -q "$uninstall_key" "$WINEPREFIX/system.reg"; check "the uninstall entry is gone" $?
}
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then install_and_uninstall
else echo "SKIP install, uninstall: the installer is a 32-bit program, and this machine's kernel runs none"; fi

at "zip"
unzip -q "$work/pkg/$package.zip" -d "$work/zip"
cd "$work/zip/$package" && sphere_and_escape zip wine quillmere-viewer.exe
finish
