#!/usr/bin/env bash
# The .deb as a user gets it: made by cpack from BUILD_DIR, checked by lintian (no error nor
# warning), desktop-file-validate and appstreamcli; its home page, its copyright file in Debian's
# machine-readable format, the user guide in its documents; installed with apt-get, started as
# its menu entry says (Exec, in the Path folder) on DISPLAY: the sphere, in a window of the class
# the entry names, Escape gives 27; purged: no file of it left.
# Installs system-wide, so needs root or passwordless sudo, and skips (77) without. It removes
# only the installation it made (a mark in BUILD_DIR says so, also after a run that was killed):
# with quillmere-viewer installed otherwise it skips, leaving it.
# Usage: deb.sh BUILD_DIR
mode=native build=$(cd "$1" && pwd)
source "$(dirname "$0")/../lib.sh"
package=quillmere-viewer entry=/usr/share/applications/org.quillmere.viewer.desktop
mark=$build/package-deb-installed
# How long apt waits for another apt or dpkg to let go of its lock.
APT_LOCK_DEADLINE=120
sudo=$([ "$(id -u)" = 0 ] || echo "sudo -n")
$sudo true 2>/dev/null ||
  { echo "SKIP: installing the .deb needs root or passwordless sudo, and this user has neither"; exit 77; }
# apt-get as root, logged; on failure the log's lines on a held lock (apt names the holder).
apt() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=$APT_LOCK_DEADLINE -y -q "$@" >>"$work/apt.log" 2>&1 ||
    { grep -i 'lock' "$work/apt.log" | sed "s/^/     (after waiting $APT_LOCK_DEADLINE s for the lock) /"; return 1; }
}
# Installed, or purged but for its configuration files.
installed() { [[ $(dpkg-query -W -f='${db:Status-Abbrev}' $package 2>/dev/null) == [ir]* ]]; }
# Purges the package when this test installed it.
purge_ours() { [ -f "$mark" ] && installed && apt purge $package && rm -f "$mark"; }
trap 'stop_viewer; purge_ours; rm -rf "$work"' EXIT
# One this test made, left by a run that was killed, goes; anyone else's stays.
purge_ours
installed && { echo "SKIP: $package is installed, not by this test: left as it is"; exit 77; }
rm -f "$mark"

at "package"
cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1
deb=$(ls "$work"/deb/${package}_1.0.0_*.deb); check "cpack makes the .deb" $? || { cat "$work/cpack.log"; finish; exit; }
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-2.0-0.*libstdc++6'; check "its Depends name the linked libraries: $(dpkg-deb -f "$deb" Depends)" $?
lintian --fail-on error,warning "$deb"; check "lintian reports no error nor warning" $?
[ "$(dpkg-deb -f "$deb" Homepage)" = https://quillmere.org/ ]; check "its home page: $(dpkg-deb -f "$deb" Homepage)" $?
dpkg-deb -x "$deb" "$work/unpacked"
doc=$work/unpacked/usr/share/doc/$package
/usr/bin/python3 -c 'import sys; from debian.copyright import Copyright
c = Copyright(open(sys.argv[1]), strict=True); texts = {p.license.synopsis: p.license.text for p in c.all_license_paragraphs()}
sys.exit(c.find_files_paragraph("usr/bin/quillmere-viewer").license.synopsis != "Expat" or "Permission is hereby" not in texts["Expat"])' "$doc/copyright"
check "its copyright file is in Debian's machine-readable format, the MIT licence (Expat) for every file" $?
grep -q '^# Quillmere viewer: the guide' "$doc/guide.md" && [ ! -e "$doc/README.md" ]; check "the user guide in its documents, not the developer README" $?
desktop-file-validate "$work/unpacked$entry" && grep -qx StartupNotify=true "$work/unpacked$entry"
check "desktop-file-validate passes; StartupNotify=true" $?
appstreamcli validate --no-net "$work"/unpacked/usr/share/metainfo/*.xml; check "appstreamcli validate --no-net passes" $?

at "install"
touch "$mark"; apt install "$deb"; check "apt-get installs it" $? || { cat "$work/apt.log"; finish; exit; }
files=$(dpkg -L $package)
exec_line=$(sed -n 's/^Exec=//p' $entry) path=$(sed -n 's/^Path=//p' $entry)
at "started as the menu entry says: '$exec_line' in '$path'"
# The entry's command without its field code (no file: a start from the menu), in its folder.
sphere_and_escape package-deb env -C "$path" ${exec_line/ %f/}
[ "$class" = "$(sed -n 's/^StartupWMClass=//p' $entry)" ]; check "the window's class was the entry's StartupWMClass (class: $class)" $?

at "purge"
stop_viewer; purge_ours && ! installed; check "apt-get purges it" $?
left=$(for f in $files; do [ -e "$f" ] && { [ ! -d "$f" ] || [[ $f == *$package* ]]; } && echo "$f"; done)
[ -z "$left" ] && [ -n "$files" ]; check "no file of the package is left (left: ${left:-none})" $?
finish
