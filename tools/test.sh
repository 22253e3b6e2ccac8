#!/usr/bin/env bash
# Installs what testing needs (tools/setup.sh), then runs the workflow presets one after another
# (configure, build, every suite through CTest; README "Tests"): native, native-asan, fuzz, win64,
# and win32 where the kernel runs 32-bit programs. Each workflow's log goes to build/test-logs/;
# CTest's JUnit file, from which the suites are counted, to build/PRESET/test-logs/junit.xml,
# beside the failing suites' screenshots and window trees.
# The last line is "N passed, N failed, N skipped", counting builds and suites.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh test || exit 1
logs=build/test-logs
mkdir -p "$logs"
passed=0 failed=0 skipped=0

# Runs one workflow, logging it and showing CTest's lines of it. Its build counts once (it
# passed if CTest wrote its JUnit file), then each suite as that file says: run, failed, or not
# run (skipped if by its skip code, failed otherwise, e.g. for a failed fixture). A workflow
# failing with no failure counted (CTest finding no suite) counts as one; its log's tail shows.
run_workflow() {
  local log="$logs/workflow-$1.log" junit="build/$1/test-logs/junit.xml" start=$SECONDS status bad=0 skips
  rm -f "$junit"
  echo "==== $1"
  cmake --workflow --preset "$1" 2>&1 | tee "$log" | grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|Total Test time'
  status=${PIPESTATUS[0]}
  if [ -f "$junit" ]; then
    echo "PASS build-$1"; passed=$((passed + 1))
    skips=$(grep -c '<skipped message="SKIP_' "$junit")
    bad=$(($(grep -c 'status="fail"' "$junit") + $(grep -c '<skipped ' "$junit") - skips))
    passed=$((passed + $(grep -c 'status="run"' "$junit"))) skipped=$((skipped + skips))
  else
    echo "FAIL build-$1"
  fi
  [ "$status" != 0 ] && [ "$bad" = 0 ] && { bad=1; tail -n 40 "$log"; }
  failed=$((failed + bad))
  echo "==== $1: $((SECONDS - start)) s"
}

for preset in native native-asan fuzz win64; do
  run_workflow "$preset"
done
# Wine's 32-bit loader is a 32-bit program; win64 runs the same suites on the 64-bit one.
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  run_workflow win32
else
  echo "SKIP win32: this machine's kernel runs no 32-bit programs, so Wine's 32-bit loader cannot start"
  skipped=$((skipped + 1))
fi
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
