#!/usr/bin/env bash
# Makes the application icon from the viewer's own start view of sphere.txt: the square around
# the cyan sphere, black made transparent, as PNGs at the hicolor sizes and as one multi-size
# .ico (packaging/icons/). Needs the native build (build/native/screenshot) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=packaging/icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tools/with-display.sh build/native/screenshot sphere.txt "$tmp/start.ppm"
# The sphere's box (W H X Y), from its cyan pixels; a square of its larger side, 4 % margin.
read -r w h x y <<<"$(convert "$tmp/start.ppm" -fuzz 25% -fill white -opaque cyan -fill black +opaque white \
  -trim -format '%w %h %X %Y' info: | tr -d +)"
side=$(((w > h ? w : h) * 104 / 100))
convert "$tmp/start.ppm" -crop "${side}x$side+$((x + w / 2 - side / 2))+$((y + h / 2 - side / 2))" +repage \
  -fuzz 10% -transparent black "$tmp/square.png"
for size in 16 32 48 64 128 256; do
  convert "$tmp/square.png" -resize "${size}x$size" -strip "PNG32:$out/quillmere-viewer-$size.png"
done
convert $(printf "$out/quillmere-viewer-%s.png " 16 32 48 256) "$out/quillmere-viewer.ico"
