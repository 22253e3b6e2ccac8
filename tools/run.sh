#!/usr/bin/env bash
# Builds the native viewer (installing what it needs) and opens it on FILE, or on the
# bundled sphere.txt when no FILE is given.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh run
[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
cmake --build --preset native --target viewer point-dump >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  if [ "${VIEWER_HEADLESS:-0}" = 1 ]; then exec tools/with-display.sh build/native/viewer "$@"; fi
  echo "run: no DISPLAY; start an X session (or set VIEWER_HEADLESS=1 for a virtual one)" >&2
  exit 1
fi
exec build/native/viewer "$@"
