#!/usr/bin/env bash
# Counts code lines (no blank lines, no comment lines, leading blanks ignored) at a git revision
# (default HEAD) of the product, of the test cases and of the test harness, and prints each
# against the product; with --files, each file's count first. Product: every C/C++ file outside
# tests/, tools/, bench/ and the fake. Tests: every file that exists only for the tests
# (tests/ and platform/fake/: C/C++, shell, Python, awk, CMake; tools/with-display.sh,
# tools/demo_keys.cpp, bench/immediate_frame.h), as the before-stop check counts them; of
# them the harness is the CMake registration, the display and Wine helpers, the shell harness,
# the fake, the fault library, the X helper tools, the pixel tests' deadline, the
# reference frame and the parity model, and the cases are the rest. The scripts that install,
# build and package every preset (tools/test.sh, .ci/run) are the build's. Data files (the
# fuzz corpus, checksums, suppressions) are not code.
# Usage: tools/count-lines.sh [--files] [REVISION]
set -euo pipefail
cd "$(dirname "$0")/.."
files=0
[ "${1:-}" = --files ] && { files=1; shift; }
rev=${1:-HEAD}

# Code lines of the listed files at the revision, each file's count printed with --files.
code_lines() {
  local f n total=0
  for f in "$@"; do
    n=$(git show "$rev:$f" | sed -e 's/^[[:space:]]*//' | grep -c -v -E '^$|^//|^/\*|^\*( |/|$)|^#!|^# |^#$' || true)
    ((files)) && printf '%6d %s\n' "$n" "$f" >&2
    total=$((total + n))
  done
  echo "$total"
}

all=$(git ls-tree -r --name-only "$rev")
tests=$(grep -E '^(tests|platform/fake)/.*(\.(c|cpp|h|sh|py|awk)|CMakeLists\.txt)$' <<<"$all"
  grep -x -E 'tools/with-display\.sh|tools/demo_keys\.cpp|bench/immediate_frame\.h' <<<"$all" || true)
harness_files='^(tests/CMakeLists\.txt|tests/lib\.sh|tests/wine\.sh|tools/with-display\.sh|bench/immediate_frame\.h)$|^(tests/fake|platform/fake|tests/faults)/|^tests/e2e/.*\.cpp$|^tests/pixel/program_deadline\.cpp$|^tests/fuzz/(line_reader_model\.h|model_dump\.cpp|run-fuzz\.sh)$'
product=$(code_lines $(grep -E '\.(c|cpp|h)$' <<<"$all" | grep -v -E '^(tests|tools|bench|platform/fake)/'))
cases=$(code_lines $(grep -v -E "$harness_files" <<<"$tests"))
harness=$(code_lines $(grep -E "$harness_files" <<<"$tests"))
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $product}"; }
echo "product $product; test cases $cases ($(ratio "$cases")x), harness $harness ($(ratio "$harness")x)," \
  "tests $((cases + harness)) ($(ratio $((cases + harness)))x)"
