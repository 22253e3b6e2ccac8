#!/usr/bin/env bash
# Prints every include, in a layer's folder, of a folder of a higher layer (platform < records <
# controls, window < app). Only the platform entry points that call ViewerMain may appear.
cd "$(dirname "$0")/.."
rank() { case $1 in platform) echo 0;; records) echo 1;; pointdata|render|controls|window) echo 2;; app) echo 3;; *) echo -1;; esac; }
for f in $(git ls-files 'platform/*' 'records/*' 'pointdata/*' 'render/*' 'controls/*' 'window/*' 'app/*' | grep -E '\.(cpp|h)$'); do
  from=${f%%/*}
  grep -oE '#include "[a-z_]+/' "$f" | sed 's/#include "//; s#/##' | while read to; do
    if [ "$(rank $to)" -gt "$(rank $from)" ]; then echo "$f includes $to/"; fi
  done
done
