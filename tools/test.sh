#!/usr/bin/env bash
# Installs what testing needs, builds the three presets and runs every suite through CTest
# (ctest --preset native, native-asan, win32; README "Tests"). Logs go to build/test-logs/.
# The last line is "N passed, N failed, N skipped", counting builds and suites.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh test || exit 1
logs=build/test-logs
mkdir -p "$logs"
passed=0
failed=0
skipped=0

# Configures and builds one preset, logging both; prints the log tail on failure.
build_preset() {
  local log="$logs/build-$1.log"
  if cmake --preset "$1" >"$log" 2>&1 && cmake --build --preset "$1" >>"$log" 2>&1; then
    echo "PASS build-$1"; passed=$((passed + 1))
  else
    echo "FAIL build-$1"; failed=$((failed + 1)); tail -n 40 "$log"; return 1
  fi
}

# Runs one preset's suites and adds CTest's verdicts to the tally (CTest failing without a
# failed suite, e.g. finding none, counts as one failure).
test_preset() {
  local log="$logs/ctest-$1.log" status bad
  ctest --preset "$1" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  bad=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*(Failed|Timeout|Exception|Not Run)' "$log")
  [ "$status" != 0 ] && [ "$bad" = 0 ] && bad=1
  failed=$((failed + bad))
  passed=$((passed + $(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log")))
  skipped=$((skipped + $(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$log")))
}

for preset in native native-asan win32; do
  build_preset "$preset" && test_preset "$preset"
done
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
