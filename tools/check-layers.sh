#!/usr/bin/env bash
# Checks the layer rule: a layer's folder includes only its own layer's folders and those below
# it (platform < records < pointdata, render, controls, window < app). Prints every include of
# a higher layer's folder, FILE includes FOLDER/, and exits 1 if there is one. Only the platform
# entry points, which call ViewerMain, may include app/.
cd "$(dirname "$0")/.."
rank() { case $1 in platform) echo 0;; records) echo 1;; pointdata|render|controls|window) echo 2;; app) echo 3;; *) echo -1;; esac; }
upward=0
for f in $(git ls-files -co --exclude-standard 'platform/*' 'records/*' 'pointdata/*' 'render/*' 'controls/*' 'window/*' 'app/*' | grep -E '\.(cpp|h)$'); do
  case $f in platform/*/entry_*.cpp) continue ;; esac
  from=${f%%/*}
  for to in $(grep -oE '^#include "[a-z_]+/' "$f" | sed 's/#include "//; s#/##'); do
    if [ "$(rank "$to")" -gt "$(rank "$from")" ]; then echo "$f includes $to/"; upward=1; fi
  done
done
[ "$upward" = 0 ] && echo "every include stays in its layer or below"
exit "$upward"
