#!/usr/bin/env bash
# Picks from the committed corpus and the inputs of earlier runs a smallest set that keeps their
# coverage, into a fresh folder to choose from before committing a few of them:
#   fuzz/merge.sh TARGET   (after fuzz/run.sh TARGET ...)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 1 ] || [ ! -d "fuzz/corpus/$1" ]; then
    echo "usage: fuzz/merge.sh TARGET" >&2
    exit 2
fi
target=$1
merged=build-fuzz/merged/$target
rm -rf "$merged"
mkdir -p "$merged" "build-fuzz/corpus/$target"
"build-fuzz/morvane_fuzz_$target" -merge=1 -timeout=10 -rss_limit_mb=2048 \
    "$merged" "fuzz/corpus/$target" "build-fuzz/corpus/$target"
echo "$(ls "$merged" | wc -l) inputs in $merged"
