#!/usr/bin/env bash
# Loads every seed file of the fuzz corpus and every generated shape (make_shapes.py) with
# point-dump, and compares the checksums of its output with corpus-dump.sha256.
#   check-dumps.sh PROGRAM [--record]
# PROGRAM is a point-dump (build/native/point-dump) or a point-dump.exe, run under Wine.
# --record writes the checksums instead of comparing them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
program=$1
record=${2:-}
files="$repo/build/dump-corpus"
rm -rf "$files" && mkdir -p "$files/in" "$files/out"
cp "$here"/corpus/* "$files/in/"
python3 "$here/make_shapes.py" "$files/in"
for f in $(cd "$files/in" && ls); do
  case $program in
    *.exe) wine "$program" "$files/in/$f" | tr -d '\r' >"$files/out/$f" ;;
    *) "$program" "$files/in/$f" >"$files/out/$f" ;;
  esac
done
if [ "$record" = --record ]; then
  (cd "$files/out" && sha256sum *) >"$here/corpus-dump.sha256"
else
  (cd "$files/out" && sha256sum --quiet -c "$here/corpus-dump.sha256") &&
    echo "point-dump output matches on $(wc -l <"$here/corpus-dump.sha256") files"
fi
