#!/usr/bin/env bash
# Runs the loader's fuzz target (the fuzz preset's fuzz-loader) twice for the given number of
# seconds (default 30), each on its own copy of the seed corpus beside the target: the loader
# whole, then the reading pass alone (FUZZ_RUN=reader). A failing input is kept beside the
# target as RUN-crash-*.
#   run-fuzz.sh FUZZ_LOADER [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(cd "$(dirname "$1")" && pwd)
for run in loader reader; do
  mkdir -p "$out/corpus-$run"
  cp -u "$here"/corpus/* "$out/corpus-$run/"
  FUZZ_RUN=$run "$1" -max_total_time="${2:-30}" -error_exitcode=1 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/$run-" "$out/corpus-$run"
done
