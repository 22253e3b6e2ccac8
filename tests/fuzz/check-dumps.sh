#!/usr/bin/env bash
# Every build reads every file alike: point-dump's output on the seed files of the fuzz corpus,
# on load-bench's number shapes (20,000 points each) and on one file past the size that is
# read on several threads, is compared record by record with the model of the line reader
# (model-dump), once as the loader chooses its threads and once each cut into 2 and 7
# stretches; the checksums of the first outputs must match corpus-dump.sha256, which pins
# the values over time. point-dump must need no windowing library.
#   check-dumps.sh DUMP_DIR POINT_DUMP LOAD_BENCH MODEL_DUMP
# DUMP_DIR is this build's folder for the files and outputs (made afresh); POINT_DUMP a
# point-dump, or a point-dump.exe run under Wine; LOAD_BENCH and MODEL_DUMP native programs
# (the files and the model are the same whichever build is checked). A run that differs is
# shown (command, exit status, standard error, both outputs, the first differing line) and
# run once more; see mismatch below for what fails. To record new checksums, copy
# DUMP_DIR/sha256 over corpus-dump.sha256.
set -uo pipefail
export LC_ALL=C  # the checksums in one order everywhere
here=$(cd "$(dirname "$0")" && pwd)
dir=$1 point_dump=$2 load_bench=$3 model_dump=$4
# Under Wine the program is started by its bare name from its own folder: given a path, Wine
# starts it through its start.exe, which about once in a thousand runs prints "Application
# could not be started" (ShellExecuteEx failed: Internal error) and never starts it.
runner=() program=./${point_dump##*/}
[[ $point_dump == *.exe ]] && runner=(wine) program=${point_dump##*/}
failed=0
# How long one run may take (a run of the largest file takes about a second): past it the run
# is stopped, and its status is timeout's 124.
RUN_DEADLINE=120

# Runs point-dump with these arguments into OUT and OUT.err; its exit status in status.
run() {
  local out=$1; shift
  (cd "$(dirname "$point_dump")" && exec timeout "$RUN_DEADLINE" "${runner[@]}" "$program" "$@") \
    >"$out" 2>"$out.err"
  status=$?
  [ "$status" != 124 ] || echo "(stopped after $RUN_DEADLINE s)" >>"$out.err"
}

# Whether the run into OUT exited 0 and printed what the model printed (into model).
agrees() { [ "$status" = 0 ] && cmp -s "$1" "$model"; }

# Shows the run into OUT against the model.
show() {
  echo "    exit status $status; standard error: $(head -c 400 "$1.err" | tr '\n' '|')"
  echo "    output $(wc -c <"$1") bytes, first line \"$(head -n 1 "$1")\" ($1)"
  echo "    model $(wc -c <"$model") bytes, first line \"$(head -n 1 "$model")\" ($model)"
  echo "    first difference (< the output, > the model):"; diff "$1" "$model" | head -n 4 | sed 's/^/      /'
}

# A run into OUT (with the arguments after it) that disagrees with the model: shown, run again into OUT.rerun and shown. It fails
# the suite, unless under Wine the first run failed without printing a dump (Wine did not
# start or finish it) and the rerun agrees: then the rerun's output stands in for it (the first
# kept as OUT.first). Natively, and for a wrong dump, once is enough: the loader is
# deterministic, and the native run of the same code has no Wine in between.
mismatch() {
  local out=$1 first=$status; shift
  echo "DIFFERS: ${runner[*]:+${runner[*]} }$point_dump $*$([ $# = 1 ] && echo " (threads as the loader chooses)")"
  show "$out"
  run "$out.rerun" "$@"
  if agrees "$out.rerun"; then echo "  the rerun agrees with the model:"; else echo "  the rerun repeats it:"; fi
  show "$out.rerun"
  if [ ${#runner[@]} -gt 0 ] && agrees "$out.rerun" && [ "$first" != 0 ] && ! grep -q '^count ' "$out"; then
    echo "  (not counted: under Wine the first run failed without a dump, the rerun is right; the first kept as $out.first)"
    mv "$out" "$out.first" && cp "$out.rerun" "$out"
  else
    failed=1
  fi
}

# Runs point-dump with these arguments into OUT and compares its output with the model's.
compare() { run "$@"; agrees "$1" || mismatch "$@"; }

# A windowing library among its imports: SDL, X11 or GL natively, user32, gdi32 or opengl32 under Wine.
imports=$(objdump -p "$point_dump" | grep -i -E '(NEEDED|DLL Name).*(SDL|X11|GL|user32|gdi32)')
[ -z "$imports" ] || { echo "point-dump imports a windowing library: $imports"; failed=1; }

rm -rf "$dir" && mkdir -p "$dir/in" "$dir/out" "$dir/model" && dir=$(cd "$dir" && pwd) || exit 1
cp "$here"/corpus/* "$dir/in/" && "$load_bench" "$dir/in" 20000 --files-only &&
  "$load_bench" "$dir/in" 320000 --files-only mixed-signs || { echo "cannot write the files"; exit 1; }
for f in "$dir"/in/*; do
  out=$dir/out/${f##*/} model=$dir/model/${f##*/}
  "$model_dump" "$f" >"$model" || { echo "model-dump fails on $f"; exit 1; }
  compare "$out" "$f"
  compare "$out.threads2" "$f" --threads 2
  compare "$out.threads7" "$f" --threads 7
done
(cd "$dir/out" && sha256sum $(ls "$dir/in")) >"$dir/sha256"
diff "$here/corpus-dump.sha256" "$dir/sha256" || { echo "the checksums differ from corpus-dump.sha256"; failed=1; }
((failed)) && { echo "files, outputs and models kept in $dir"; exit 1; }
echo "point-dump agrees with the model and the checksums on $(ls "$dir/in" | wc -l) files, on the loader's threads, 2 and 7"
