#!/usr/bin/env bash
# Builds the native viewer alone (preset "viewer": no GoogleTest),
# installing what it needs, and opens it on FILE, or on the bundled sphere.txt.
# With VIEWER_HEADLESS=1 and no DISPLAY it runs on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh run
[ -f build/viewer/CMakeCache.txt ] || cmake --preset viewer >/dev/null
cmake --build --preset viewer >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  if [ "${VIEWER_HEADLESS:-0}" = 1 ]; then exec tools/with-display.sh build/viewer/viewer "$@"; fi
  echo "run: no DISPLAY; start an X session (or set VIEWER_HEADLESS=1 for a virtual one)" >&2
  exit 1
fi
exec build/viewer/viewer "$@"
