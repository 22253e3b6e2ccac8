#!/usr/bin/env bash
# Installs what building and running (group "run") or testing (group "test") needs.
# Quick when everything is already there; installs with apt-get as root otherwise. The one
# place that installs packages: tools/run.sh, tools/test.sh and CI call it.
set -euo pipefail
group=${1:-test}
run_packages=(cmake g++ make pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libfreetype-dev
  libfontconfig-dev libgl1-mesa-dri fonts-liberation libfast-float-dev)
test_packages=(libgtest-dev libx11-dev libxfixes-dev libxres-dev xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick openbox
  g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64
  clang libclang-rt-14-dev python3 python3-debian dpkg-dev nsis lintian desktop-file-utils appstream file unzip)
packages=("${run_packages[@]}")
[ "$group" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  # A package installed for both architectures answers once per architecture.
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ "$group" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
apt=(apt-get -o DPkg::Lock::Timeout=900 -q)
$sudo "${apt[@]}" update
DEBIAN_FRONTEND=noninteractive $sudo "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
