#!/usr/bin/env bash
# Builds the loader's fuzz targets with clang (libFuzzer, ASan, UBSan) against the core and
# the fake platform, and runs each for the given number of seconds (default 30) on a copy
# of the seed corpus: fuzz-loader (real files, through LoadPointFile) and fuzz-plain-lines
# (the plain-line scan against the general scan).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
seconds=${1:-30}
out="$repo/build/fuzz"
mkdir -p "$out"
core=("$repo"/app/*.cpp "$repo"/pointdata/*.cpp "$repo"/render/*.cpp "$repo"/controls/*.cpp
      "$repo"/platform/viewer_window.cpp "$repo"/platform/window_proc.cpp
      "$repo"/platform/fake/fake_platform.cpp)
for target in loader plain_lines; do
  name=fuzz-${target//_/-}
  clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$repo" "$here/fuzz_$target.cpp" "${core[@]}" -lGL -lGLU -o "$out/$name"
  mkdir -p "$out/corpus-$target"
  cp -n "$here"/corpus/* "$out/corpus-$target/" 2>/dev/null || true
  "$out/$name" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/" "$out/corpus-$target"
done
