#!/usr/bin/env bash
# Counts code lines (no blank lines, no comment lines) of the product and of the tests at a
# git revision (default HEAD) and prints their ratio. Product: app, controls, platform (the fake
# aside), pointdata, render. Tests: tests/ and the fake platform (C++, shell and Python).
# Usage: tools/count-lines.sh [REVISION]
set -euo pipefail
cd "$(dirname "$0")/.."
rev=${1:-HEAD}

# Code lines of the listed files at the revision.
code_lines() {
  local f
  for f in "$@"; do
    case $f in
      *.sh | *.py) git show "$rev:$f" | grep -vE '^\s*(#|$)' || true ;;
      *) git show "$rev:$f" | grep -vE '^\s*(//|$)' || true ;;
    esac
  done | wc -l
}

product=$(code_lines $(git ls-tree -r --name-only "$rev" app controls platform pointdata render |
  grep -v '^platform/fake/' | grep -E '\.(cpp|h)$'))
tests=$(code_lines $(git ls-tree -r --name-only "$rev" tests platform/fake | grep -E '\.(cpp|h|sh|py)$'))
echo "product $product, tests $tests, ratio $(awk "BEGIN {printf \"%.2f\", $tests / $product}")"
