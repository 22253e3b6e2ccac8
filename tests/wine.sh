#!/usr/bin/env bash
# Runs a command that needs Wine; with no command, makes Wine's prefix. Skips (exit 77, the
# suites' skip code) on a machine whose kernel runs no 32-bit programs, as Wine's loader is one.
command -v wine >/dev/null || { echo "no wine: tools/setup.sh test installs it"; exit 1; }
wine --version >/dev/null 2>&1 || { echo "SKIP: this machine's kernel runs no 32-bit programs, so Wine cannot start"; exit 77; }
[ $# = 0 ] || exec "$@"
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i || exit
wineserver -w
