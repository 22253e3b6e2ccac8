#!/usr/bin/env bash
# Runs a command that needs Wine; with no command, makes Wine's prefix (WINEPREFIX, of the
# kind WINEARCH names: win32 or win64, as the program is). Skips (exit 77, the suites' skip
# code) where the loader the program needs cannot run: the 32-bit one on a machine whose
# kernel runs no 32-bit programs.
command -v wine >/dev/null || { echo "no wine: tools/setup.sh test installs it"; exit 1; }
wine --version >/dev/null 2>&1 ||
  { echo "SKIP: Wine's loader for $WINEARCH programs cannot start on this machine (its kernel runs no ${WINEARCH#win}-bit programs)"; exit 77; }
# A program given by its Unix path goes by its Windows path (Z: is the Unix root): Wine starts
# a Unix path through its start.exe, which about once in a thousand starts fails to start it.
[ "${1:-}" = wine ] && [[ ${2:-} == /*.exe ]] && set -- wine "Z:${2//\//\\}" "${@:3}"
[ $# = 0 ] || exec "$@"
# Another kind of prefix, or none, is made again.
grep -qs "^#arch=$WINEARCH" "$WINEPREFIX/system.reg" || { rm -rf "$WINEPREFIX"; wine wineboot -i; } || exit
wineserver -w
