#!/usr/bin/env bash
# Builds the three presets (installing what they need) and runs every test:
# unit tests natively, under ASan+UBSan and under Wine; pixel, stand-in and end-to-end
# tests and the display-switch soak on virtual displays, natively and under Wine;
# point-dump parity between the builds and against the recorded checksums of its output on
# the loader's corpus; the loader's two fuzz targets.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/setup.sh test || exit 1

logs=build/test-logs
mkdir -p "$logs"
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
passed=0
failed=0
skipped=0

# Runs one named step (a program at most 15 minutes), logging its output; prints the log tail on failure.
step() {
  local name=$1; shift
  local runner=(timeout 900)
  declare -F "$1" >/dev/null && runner=()
  if "${runner[@]}" "$@" >"$logs/$name.log" 2>&1; then
    echo "PASS $name"; passed=$((passed + 1))
  else
    echo "FAIL $name"; failed=$((failed + 1)); tail -n 60 "$logs/$name.log"
  fi
}

# Notes a step this machine cannot run, and why.
skip() {
  echo "SKIP $1: $2"; skipped=$((skipped + 1))
}

# Wine's loader is a 32-bit program: it runs only where the kernel runs 32-bit code.
wine_runs() {
  wine --version >/dev/null 2>&1
}

build_preset() {
  local preset=$1
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" || return 1
  cmake --build --preset "$preset"
}

wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] || tools/with-display.sh wineboot -i
  wineserver -w
}

parity() {
  build/native/point-dump sphere.txt >"$logs/dump-native.txt"
  tools/with-display.sh wine build/win32/point-dump.exe sphere.txt | tr -d '\r' >"$logs/dump-wine.txt"
  cmp "$logs/dump-native.txt" "$logs/dump-wine.txt"
}

step build-native build_preset native
step build-native-asan build_preset native-asan
step build-win32 build_preset win32
step unit-native build/native/tests/unit_tests
ASAN_OPTIONS=detect_leaks=1 step unit-asan build/native-asan/tests/unit_tests
no_wine="this machine's kernel runs no 32-bit programs, so Wine cannot start"
if wine_runs; then
  step wine-prefix wine_prefix
  step unit-wine tools/with-display.sh wine build/win32/tests/unit_tests.exe
else
  skip unit-wine "$no_wine"
fi
step pixel-native tools/with-display.sh build/native/tests/pixel_tests
LSAN_OPTIONS=suppressions=$root/tests/lsan.supp step pixel-asan tools/with-display.sh build/native-asan/tests/pixel_tests
if wine_runs; then step pixel-wine tools/with-display.sh wine build/win32/tests/pixel_tests.exe; else skip pixel-wine "$no_wine"; fi
[ -x tests/standin/run.sh ] && step standin tests/standin/run.sh build/native/demo-keys
if wine_runs; then step point-dump-parity parity; else skip point-dump-parity "$no_wine"; fi
step point-dump-corpus tests/fuzz/check-dumps.sh build/native/point-dump
if wine_runs; then
  step point-dump-corpus-wine tools/with-display.sh tests/fuzz/check-dumps.sh build/win32/point-dump.exe
else
  skip point-dump-corpus-wine "$no_wine"
fi
step e2e-native tests/e2e/run-native.sh build/native
if wine_runs; then step e2e-wine tests/e2e/run-wine.sh build/win32; else skip e2e-wine "$no_wine"; fi
step soak-native tests/e2e/soak.sh build/native native
if wine_runs; then step soak-wine tests/e2e/soak.sh build/win32 wine; else skip soak-wine "$no_wine"; fi
[ -x tests/fuzz/run-fuzz.sh ] && step fuzz tests/fuzz/run-fuzz.sh 30

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
