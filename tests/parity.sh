#!/usr/bin/env bash
# point-dump of both builds prints the same for sphere.txt (Windows line ends aside).
# Usage: parity.sh NATIVE_POINT_DUMP WINDOWS_POINT_DUMP
set -euo pipefail
cd "$(dirname "$0")/.."
cmp <("$1" sphere.txt) <(wine "$2" sphere.txt | tr -d '\r')
