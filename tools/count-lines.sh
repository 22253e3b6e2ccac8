#!/usr/bin/env bash
# Counts code lines (no blank lines, no comment lines, leading blanks ignored) of the product and
# of the tests at a git revision (default HEAD) and prints their ratio; with --files, each file's
# count first. Product: every C/C++ file outside tests/, tools/ and bench/. Tests:
# every file that exists only for the tests, wherever it lives: tests/ (C/C++, shell, Python,
# CMake; the fake platform among them), the display script (tools/with-display.sh) and the
# pixel tests' reference frame (bench/immediate_frame.h). The scripts that install, build and
# package every preset (tools/test.sh, .ci/run) are the build's, not the tests'. Data files (the
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
    n=$(git show "$rev:$f" | sed -e 's/^[[:space:]]*//' | grep -c -v -E '^$|^//|^/\*|^\*|^#!|^# |^#$' || true)
    ((files)) && printf '%6d %s\n' "$n" "$f" >&2
    total=$((total + n))
  done
  echo "$total"
}

all=$(git ls-tree -r --name-only "$rev")
product=$(code_lines $(grep -E '\.(c|cpp|h)$' <<<"$all" | grep -v -E '^(tests|tools|bench)/'))
tests=$(code_lines $(grep -E '^tests/.*(\.(c|cpp|h|sh|py)|CMakeLists\.txt)$' <<<"$all"
  grep -x -E 'tools/with-display\.sh|bench/immediate_frame\.h' <<<"$all"))
echo "product $product, tests $tests, ratio $(awk "BEGIN {printf \"%.2f\", $tests / $product}")"
