#!/usr/bin/env bash
# Loads every seed file of the fuzz corpus and load-bench's number shapes (20,000 points each)
# with point-dump, and compares the checksums of its output with corpus-dump.sha256; a
# difference, or a file without a checksum, fails and shows in a diff. Each file is loaded
# again with the reading pass on 1, 2 and 7 threads, which must give the same output.
#   check-dumps.sh POINT_DUMP LOAD_BENCH
# POINT_DUMP is a point-dump, or a point-dump.exe run under Wine; LOAD_BENCH a native
# load-bench (the files must be the same bytes whichever build is checked). To record new
# checksums, copy build/dump-corpus/sha256 over corpus-dump.sha256.
set -euo pipefail
export LC_ALL=C  # the checksums in one order everywhere
here=$(cd "$(dirname "$0")" && pwd)
files="$here/../../build/dump-corpus"
rm -rf "$files" && mkdir -p "$files/in" "$files/out"
cp "$here"/corpus/* "$files/in/" && "$2" "$files/in" 20000 --files-only
case $1 in *.exe) dump=(wine "$1") ;; *) dump=("$1") ;; esac
threads_differ=0
for f in "$files"/in/*; do
  out="$files/out/${f##*/}"
  "${dump[@]}" "$f" | tr -d '\r' >"$out"
  for threads in 1 2 7; do
    "${dump[@]}" "$f" --threads $threads | tr -d '\r' | cmp -s - "$out" ||
      { echo "point-dump --threads $threads differs on ${f##*/}"; threads_differ=1; }
  done
done
cd "$files/out" && sha256sum * >../sha256
diff "$here/corpus-dump.sha256" ../sha256 && [ $threads_differ = 0 ] &&
  echo "point-dump output matches on $(ls | wc -l) files, on 1, 2 and 7 threads"
