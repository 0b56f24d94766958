#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and fuzzes one of them for a while:
#   fuzz/run.sh TARGET SECONDS [libFuzzer options...]
# It starts from the committed corpus and the inputs of earlier runs; the inputs it finds go to
# build-fuzz/corpus/TARGET (never committed whole: see fuzz/merge.sh), and every crash, timeout
# or leak input goes to fuzz/crashes/TARGET, to be committed with its fix.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
    echo "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]" >&2
    echo "targets: $(ls fuzz/corpus | tr '\n' ' ')" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
if [ ! -d "fuzz/corpus/$target" ]; then
    echo "no such target: $target" >&2
    exit 2
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DMORVANE_FUZZ=ON -DMORVANE_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "morvane_fuzz_$target"

found=build-fuzz/corpus/$target
mkdir -p "$found" "fuzz/crashes/$target"
exec "build-fuzz/morvane_fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict=fuzz/morvane.dict -artifact_prefix="fuzz/crashes/$target/" -print_final_stats=1 "$@" \
    "$found" "fuzz/corpus/$target"
