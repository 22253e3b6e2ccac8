#!/usr/bin/env bash
# The .deb as a user gets it: made by cpack from BUILD_DIR, checked by lintian (no error),
# desktop-file-validate and appstreamcli, installed with apt-get, started as its menu entry says
# (Exec, in the Path folder) on DISPLAY: the sphere, Escape gives 27; purged: no file of it left.
# Installs system-wide, so needs root (or sudo); the package is purged on every way out.
# Usage: deb.sh BUILD_DIR
mode=native build=$(cd "$1" && pwd)
source "$(dirname "$0")/../lib.sh"
package=quillmere-viewer entry=/usr/share/applications/org.quillmere.viewer.desktop
sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo -n"
apt() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 -y -q "$@" >>"$work/apt.log" 2>&1; }
# Installed, or purged but for its configuration files.
installed() { [[ $(dpkg-query -W -f='${db:Status-Abbrev}' $package 2>/dev/null) == [ir]* ]]; }
trap 'stop_viewer; installed && apt purge $package; rm -rf "$work"' EXIT
# Left by a run that was killed before it could clean up.
installed && apt purge $package

at "package"
cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1
deb=$(ls "$work"/deb/${package}_1.0.0_*.deb); check "cpack makes the .deb" $? || { cat "$work/cpack.log"; finish; exit; }
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0.*libstdc++6'; check "its Depends name the linked libraries: $(dpkg-deb -f "$deb" Depends)" $?
lintian --fail-on error "$deb"; check "lintian reports no error" $?
dpkg-deb -x "$deb" "$work/unpacked"
desktop-file-validate "$work/unpacked$entry"; check "desktop-file-validate passes" $?
appstreamcli validate --no-net "$work"/unpacked/usr/share/metainfo/*.xml; check "appstreamcli validate --no-net passes" $?

at "install"
apt install "$deb"; check "apt-get installs it" $? || { cat "$work/apt.log"; finish; exit; }
files=$(dpkg -L $package)
exec_line=$(sed -n 's/^Exec=//p' $entry) path=$(sed -n 's/^Path=//p' $entry)
# The entry's command without its field code (no file: a start from the menu).
(cd "$path" && exec ${exec_line/ %f/}) >/dev/null 2>&1 &
viewer_pid=$!
if viewer_window; check "'$exec_line' in '$path': the window appears" $?; then
  wait_for 30 shows "$id" cyan 20; check "the installed sphere.txt: cyan points" $?
  cp "$work/shown.png" "$logs/package-deb.png"
  escape_exits
fi

at "purge"
stop_viewer; apt purge $package; check "apt-get purges it" $?
left=$(for f in $files; do [ -e "$f" ] && { [ ! -d "$f" ] || [[ $f == *$package* ]]; } && echo "$f"; done)
[ -z "$left" ] && [ -n "$files" ]; check "no file of the package is left (left: ${left:-none})" $?
finish
