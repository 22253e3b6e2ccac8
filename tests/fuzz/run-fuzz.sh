#!/usr/bin/env bash
# Builds the loader's fuzz target (fuzz_loader.cpp) with clang, libFuzzer, ASan and UBSan
# against the core and the fake platform, and runs it twice for the given number of seconds
# (default 30), each on its own copy of the seed corpus: the loader whole, then the reading
# pass alone (FUZZ_RUN=reader). A failing input is kept as build/fuzz/RUN-crash-*.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
out="$repo/build/fuzz"
mkdir -p "$out/corpus-loader" "$out/corpus-reader"
clang++ -std=c++17 -O1 -g -DVIEWER_TEST_HOOKS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$repo" \
  "$repo"/tests/fuzz/fuzz_loader.cpp "$repo"/pointdata/*.cpp "$repo"/records/app_state.cpp \
  "$repo"/tests/fake/fake_platform.cpp -o "$out/fuzz-loader"
for run in loader reader; do
  cp -u "$repo"/tests/fuzz/corpus/* "$out/corpus-$run/"
  FUZZ_RUN=$run "$out/fuzz-loader" -max_total_time="${1:-30}" -error_exitcode=1 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/$run-" "$out/corpus-$run"
done
