#!/usr/bin/env bash
# Runs a command that needs Wine; with no command, makes Wine's prefix. Skips (exit 77, the
# suites' skip code) on a machine whose kernel runs no 32-bit programs, as Wine's loader is one.
command -v wine >/dev/null || { echo "no wine: tools/setup.sh test installs it"; exit 1; }
wine --version >/dev/null 2>&1 || { echo "SKIP: this machine's kernel runs no 32-bit programs, so Wine cannot start"; exit 77; }
[ $# = 0 ] || exec "$@"
# A 32-bit prefix, as the program is one, even where Wine's 64-bit loader is installed too
# (a 64-bit prefix refuses the full-screen mode the suites expect granted); another is made again.
grep -qs '^#arch=win32' "$WINEPREFIX/system.reg" || { rm -rf "$WINEPREFIX"; WINEARCH=win32 wineboot -i; } || exit
wineserver -w
