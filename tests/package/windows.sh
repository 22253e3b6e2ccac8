#!/usr/bin/env bash
# The Windows packages as a user gets them, under Wine on DISPLAY: made by cpack from
# BUILD_DIR; the installer run silently (/S) into a fresh prefix of their own: the uninstall
# entry in the registry view of the program's width, with its size and folder; the program
# started from its shortcut in the Start-menu folder "Quillmere viewer", and by its "Open with"
# command on a .xyz file, as Explorer runs it: the sphere, Escape gives 27; no file type's
# default taken; the guide, with Windows line ends. The silent uninstaller leaves no installed
# file and nothing of the product or its publisher in the registry. The zip runs the same way.
# Usage: windows.sh BUILD_DIR
mode=wine build=$(cd "$1" && pwd)
source "$(dirname "$0")/../lib.sh"
# A prefix of this build's own, of the kind WINEARCH (win32 or win64) names; the packages' names end in it.
export WINEPREFIX=$build/wineprefix-package
package=quillmere-viewer-1.0.0-$WINEARCH
trap 'stop_viewer; wineserver -k 2>/dev/null; rm -rf "$work" "$WINEPREFIX"' EXIT
types='txt|xyz|pts|asc|csv'
# The values of a key (its path, single backslashes) in the machine's registry, as Wine keeps it.
reg_values() { key="[${1//\\/\\\\}]" awk 'index($0, ENVIRON["key"]) == 1 {on = 1; next} on && /^(\[|$)/ {exit} on && !/^#/' "$WINEPREFIX/system.reg"; }
# The keys of the point files' types and below them.
type_keys() { grep -E '^\[Software\\\\Classes\\\\\.('"$types"')[]\\]' "$WINEPREFIX/system.reg" | cut -d']' -f1 | sort; }
# Every line of the registry that names the product, outside Wine's own keys (its menu builder
# keeps a note of the links it saw).
product_in_registry() { awk 'index($0, "[") == 1 {key = $0} tolower($0) ~ /quillmere/ && key !~ /^\[Software\\\\Wine\\\\/' "$WINEPREFIX"/*.reg; }
# Whether a guide is the user guide with Windows line ends throughout.
guide_for_notepad() { grep -q '^# Quillmere viewer: the guide' "$1" && [ "$(grep -c $'\r$' "$1")" = "$(wc -l <"$1")" ]; }

at "packages"
cpack -G "NSIS;ZIP" -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1
ls "$work"/pkg/$package.{exe,zip} >/dev/null; check "cpack makes the installer and the zip" $? ||
  { cat "$work/cpack.log"; finish; exit; }

rm -rf "$WINEPREFIX"; wine wineboot -i >/dev/null 2>&1; wineserver -w
# The installer and its uninstaller are 32-bit programs (NSIS makes no other): where the kernel
# runs none, only the zip is tried.
install_and_uninstall() {
  at "install"
  # Text files have a program of their own, as on Windows: it stays theirs, also after uninstalling.
  wine reg add 'HKLM\Software\Classes\.txt' /ve /d txtfile /f >/dev/null; wineserver -w
  keys_before=$(type_keys) types_before=$(for t in ${types//|/ }; do reg_values "Software\Classes\.$t"; done)
  wine "$(windows_path "$work/pkg/$package.exe")" /S; wineserver -w
  installed=$(find "$WINEPREFIX/drive_c" -ipath '*quillmere*' -type f | sort)
  folder='/drive_c/Program Files/Quillmere viewer' shortcut=$(grep '/Quillmere viewer/Quillmere viewer.lnk$' <<<"$installed")
  grep -q "$folder/quillmere-viewer.exe$" <<<"$installed" && [ -n "$shortcut" ]
  check "installed: the program in Program Files, its shortcut in the Start-menu folder \"Quillmere viewer\" ($(wc -l <<<"$installed") files)" $?
  entry=$(reg_values 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmere viewer') size=$(du -sk --apparent-size "$WINEPREFIX$folder" | cut -f1)
  estimated=$(sed -n 's/^"EstimatedSize"=dword://p' <<<"$entry") estimated=$((16#${estimated:-0}))
  grep -qxF '"InstallLocation"="C:\\Program Files\\Quillmere viewer"' <<<"$entry" && ((estimated * 5 > size * 4 && estimated * 4 < size * 5))
  check "the uninstall entry, in the $WINEARCH view: its folder, and its size ($estimated KB; the folder holds $size)" $?
  guide_for_notepad "$WINEPREFIX$folder/guide.txt"; check "the guide, guide.txt, with Windows line ends" $?
  # What a start from the shortcut runs, and where: the target's path, in the link's ANSI link
  # info, and the working folder, the one UTF-16 string that names a folder by its drive (after
  # its length, which may read as a character).
  target=$(strings -a "$shortcut" | grep -m 1 -x '[A-Z]:\\.*\.exe')
  start=$(strings -a -el "$shortcut" | grep -o '[A-Z]:\\.*' | grep -m 1 -v -i '\.exe$')
  [ "$start" != "" ] && cd "$(wine winepath -u "$start")"; check "the shortcut's working folder: '$start'" $?
  sphere_and_escape package-windows wine "$target"; cd "$repo"

  at "open with"
  [ "$(type_keys | grep -c 'OpenWithList\\\\quillmere-viewer.exe$')" = 5 ] &&
    [ "$(for t in ${types//|/ }; do reg_values "Software\Classes\.$t"; done)" = "$types_before" ]
  check "offered in \"Open with\" for .${types//|/, .}; no type's own values changed" $?
  command=$(wine reg query 'HKLM\Software\Classes\Applications\quillmere-viewer.exe\shell\open\command' /ve | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  mkdir -p "$work/my clouds" && cp "$repo/sphere.txt" "$work/my clouds/sphere.xyz"
  printf '%s\r\n' "${command//%1/$(windows_path "$work/my clouds/sphere.xyz")}" >"$work/open-with.bat"
  cd "$work/my clouds" && sphere_and_escape package-open-with wine cmd /c "$(windows_path "$work/open-with.bat")"; cd "$repo"

  at "uninstall"
  wine "$(wine winepath -w "$(grep '/Uninstall.exe$' <<<"$installed")")" /S; wineserver -w
  left=$(find "$WINEPREFIX/drive_c" -ipath '*quillmere*' | sort)
  [ -z "$left" ]; check "no installed file left (left: ${left:-none})" $?
  left=$(product_in_registry)
  [ -z "$left" ] && [ "$(type_keys)" = "$keys_before" ]
  check "nothing of the product or its publisher in the registry (left: ${left:-none}), the types' keys as before" $?
}
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then install_and_uninstall
else echo "SKIP install, uninstall: the installer is a 32-bit program, and this machine's kernel runs none"; fi

at "zip"
unzip -q "$work/pkg/$package.zip" -d "$work/zip"
cd "$work/zip/$package" && guide_for_notepad guide.txt; check "the guide, guide.txt, with Windows line ends" $?
sphere_and_escape package-zip wine quillmere-viewer.exe
finish
