#!/usr/bin/env bash
# Makes the README's pictures of a terrain (docs/): a million points over 0..100 x 0..100
# around z = 12 with five far strays (tests/e2e/terrain.awk), framed at the start, in its
# height colours (C), and the help box (H) over the viewer's window. Needs the native build
# (build/native: screenshot and viewer), xdotool and ImageMagick; runs on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VIEWER_TEST_DISPLAY:-}" ]; then exec tools/with-display.sh --no-repeat "$0"; fi
build=$PWD/build/native
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
awk -v n=1000 -v ox=0 -v oy=0 -v strays=5 -f tests/e2e/terrain.awk >"$tmp/terrain.txt"
cd "$tmp"
"$build/screenshot" terrain.txt framed.ppm
"$build/screenshot" terrain.txt colours.ppm colours
# Runs a command every fifth of a second until it succeeds, for a minute at most.
await() { local end=$((SECONDS + 60)); until "$@" >/dev/null 2>&1; do
  [ "$SECONDS" -lt "$end" ] || { echo "make-screenshots: gave up waiting for: $*" >&2; return 1; }; sleep 0.2; done; }
# The screen's top-left part holding the viewer's window and the box, unchanged since the last look.
settled() { import -window root -crop 802x702+0+0 +repage help.png && cmp -s help.png last.png || { mv help.png last.png; false; }; }
# The help box over the window, both whole on the screen, the window's title bar included.
# The box is answered and the viewer ended with Escape, so that nothing outlives the display.
"$build/viewer" terrain.txt &
await xdotool search --onlyvisible --name '^Quillmere OpenGL by KALMO$'
id=$(xdotool search --onlyvisible --name '^Quillmere OpenGL by KALMO$' | head -n 1)
xdotool windowactivate --sync "$id" key h
await eval 'box=$(xwininfo -root -tree | grep "\"Quillmere viewer " | awk "{print \$1}") && [ -n "$box" ]'
await settled
xdotool windowactivate --sync "$box" key Return
xdotool windowactivate --sync "$id" key Escape
wait $! || true
cd - >/dev/null
convert "$tmp/framed.ppm" docs/screenshot-terrain.png
convert "$tmp/colours.ppm" docs/screenshot-height-colours.png
cp "$tmp/help.png" docs/screenshot-help.png
