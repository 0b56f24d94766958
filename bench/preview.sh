#!/usr/bin/env bash
# The preview of a huge binary file against that of a tiny one: opening the preview of the
# benchmark layout on a 4 GiB sparse file (134,217,727 records of 32 bytes, the most the format's
# 32-bit positions reach) and on a 1 KB file (32 records) should cost the same, since only the
# records shown are read.
#
#   bench/preview.sh [RUNS]      default: 11 timed runs of each command
#
# Builds morvane-cli (as ./run.sh builds it) into build-bench/, makes both files (the large one sparse: no
# disk space used), and times, alternating, `preview --count 20` of each and `info` (loading the
# target alone) of the large one. Prints the medians, the ratio large / small (the goal is about
# 1), the ratio preview / info (what a refresh after a definition change costs beyond reloading
# the target) and the peak memory of the large preview. MORVANE_BENCH_KEEP=1 keeps the scratch
# folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
read_records_and_runs 1 "${1:-11}"
readonly LARGE_RECORDS=134217727

require_tools cmake:cmake ninja:ninja-build truncate:coreutils /usr/bin/time:time

make_scratch

build_for_users morvane-cli
readonly CLI=$BUILD/morvane-cli

readonly HOME_DIR=$SCRATCH/home
write_target "$HOME_DIR" 32
cp "$HOME_DIR/bench.ini" "$HOME_DIR/small.ini"
sed "s/^BRecordCount=.*/BRecordCount=$LARGE_RECORDS/" "$HOME_DIR/bench.ini" >"$HOME_DIR/large.ini"
head -c 1024 /dev/urandom >"$SCRATCH/small.bin"
truncate -s $((LARGE_RECORDS * 32)) "$SCRATCH/large.bin"
echo "== Files: small.bin $(stat -c %s "$SCRATCH/small.bin") bytes," \
    "large.bin $(stat -c %s "$SCRATCH/large.bin") bytes ($(du -k "$SCRATCH/large.bin" | cut -f1) KB on disk)"

small=("$CLI" --home "$HOME_DIR" preview --target "$HOME_DIR/small.ini" --binary "$SCRATCH/small.bin" --count 20)
large=("$CLI" --home "$HOME_DIR" preview --target "$HOME_DIR/large.ini" --binary "$SCRATCH/large.bin" --count 20)
large_end=("$CLI" --home "$HOME_DIR" preview --target "$HOME_DIR/large.ini" --binary "$SCRATCH/large.bin"
    --from $((LARGE_RECORDS - 19)) --count 20)
reload=("$CLI" --home "$HOME_DIR" info --target "$HOME_DIR/large.ini")

# Each preview shows its 20 records after the header.
for command in small large large_end; do
    declare -n run=$command
    lines=$("${run[@]}" | wc -l) || fail "$command failed"
    [[ $lines == 21 ]] || fail "$command showed $lines lines, not 21"
done

echo "== Timing $RUNS runs of each, alternating"
time_alternating small large large_end reload

echo
echo "== Preview, $(machine_line)"
printf '%-36s %10s\n' "command" "median s"
printf '%-36s %10.4f\n' "preview of 1 KB (32 records)" "$(median_of small)"
printf '%-36s %10.4f\n' "preview of 4 GiB, first 20 records" "$(median_of large)"
printf '%-36s %10.4f\n' "preview of 4 GiB, last 20 records" "$(median_of large_end)"
printf '%-36s %10.4f\n' "info of 4 GiB (target load alone)" "$(median_of reload)"
ratio=$(awk -v a="$(median_of large)" -v b="$(median_of small)" 'BEGIN { printf "%.2f", a / b }')
refresh=$(awk -v a="$(median_of large)" -v b="$(median_of reload)" 'BEGIN { printf "%.2f", a / b }')
echo "4 GiB / 1 KB: $ratio; preview / info: $refresh"
echo "peak memory, preview of 4 GiB: $(peak_kb large) KB"
