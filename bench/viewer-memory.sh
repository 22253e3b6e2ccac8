#!/usr/bin/env bash
# viewer-memory.sh VIEWER FILE: the viewer's resident memory (now and at its peak) once its
# first frame of FILE is on screen. VIEWER may be the Windows build's viewer.exe, run under
# Wine. Runs on a virtual display (tools/with-display.sh).
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
[ -n "${VIEWER_TEST_DISPLAY:-}" ] || exec "$repo/tools/with-display.sh" bash "$0" "$@"
viewer=$(realpath "$1"); file=$(realpath "$2")
run=("$viewer"); [[ $viewer == *.exe ]] && run=(wine "$viewer")  # Wine's process keeps the pid
"${run[@]}" "$file" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
for _ in $(seq 1 600); do
  id=$(xdotool search --onlyvisible --name "^Quillmere OpenGL by KALMO\$" 2>/dev/null | head -n 1)
  # The first frame is up once the middle of the window is no longer black.
  if [ -n "$id" ] && [ "$(import -window "$id" -crop 400x300+200+150 +repage -format '%[fx:maxima]' info: 2>/dev/null)" != 0 ]; then
    grep -E "VmRSS|VmHWM|RssAnon|RssFile" "/proc/$pid/status" | tr -s ' \t' ' '
    exit 0
  fi
  sleep 0.5
done
echo "viewer-memory: no frame within 300 s" >&2
exit 1
