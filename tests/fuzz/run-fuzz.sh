#!/usr/bin/env bash
# Builds the loader's fuzz target with clang (libFuzzer, ASan, UBSan) and runs it for the
# given number of seconds (default 60) on a copy of the seed corpus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
seconds=${1:-60}
out="$repo/build/fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$repo" "$here/fuzz_loader.cpp" "$repo/app/app_state.cpp" "$repo/pointdata/point_file.cpp" \
  "$repo/pointdata/point_scan.cpp" -o "$out/fuzz-loader"
cp -n "$here"/corpus/* "$out/corpus/" 2>/dev/null || true
"$out/fuzz-loader" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$out/corpus"
