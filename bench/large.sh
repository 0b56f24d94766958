#!/usr/bin/env bash
# Both conversions of the largest binary file the format reaches: 4 GiB, 134,217,727 records of
# the benchmark layout, made sparse (records of zero bytes: ID 0, ..., Kind Sword, no name).
#
#   bench/large.sh [THREADS...]      default: the machine's own choice, then --threads 1
#
# Builds morvane-cli (as ./run.sh builds it) into build-bench/, converts the sparse file to text,
# and the text back into the same file in place (which then takes its 4 GiB on disk), once each
# with every thread setting, and reports each run's wall time, records per second, CPU use
# (user + system seconds over wall seconds: 2.0 is two busy cores) and peak memory. The text must
# have one line per record and every line must be the zero record's; the file written back must
# hold zero bytes only. Needs about 7 GB of free disk in $TMPDIR. MORVANE_BENCH_KEEP=1 keeps the
# scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
readonly RECORDS=134217727
SETTINGS=("$@")
((${#SETTINGS[@]})) || SETTINGS=(auto 1)

require_tools cmake:cmake ninja:ninja-build truncate:coreutils cmp:diffutils /usr/bin/time:time
make_scratch
free_kb=$(df -Pk "$SCRATCH" | awk 'NR == 2 { print $4 }')
((free_kb > 7 * 1024 * 1024)) || fail "needs about 7 GB free in $SCRATCH, has $((free_kb / 1024)) MB"

build_for_users morvane-cli
readonly CLI=$BUILD/morvane-cli
readonly HOME_DIR=$SCRATCH/home
write_target "$HOME_DIR" "$RECORDS"
readonly DATA_BIN=$SCRATCH/large.bin
readonly DATA_TEXT=$SCRATCH/large.txt
readonly ZERO_LINE="0,0,0,0,0,0,0,Sword,"

# Wall seconds, CPU use and peak memory of one run, as "seconds cpu peak-MB". The writing back
# of what ran before is waited for first, so that no run pays for another's.
measure() {
    sync
    local start=$EPOCHREALTIME report
    report=$(/usr/bin/time -f '%U %S %M' "$@" 2>&1 >/dev/null | tail -n 1) || fail "failed: $*"
    local end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" -v r="$report" 'BEGIN {
        split(r, f, " "); wall = b - a; printf "%.1f %.2f %.1f\n", wall, (f[1] + f[2]) / wall, f[3] / 1024 }'
}

declare -A results
for setting in "${SETTINGS[@]}"; do
    threads=()
    [[ $setting == auto ]] || threads=(--threads "$setting")
    rm -f "$DATA_BIN" "$DATA_TEXT"
    truncate -s $((RECORDS * 32)) "$DATA_BIN"
    echo "== to-text, threads $setting"
    results[$setting,text]=$(measure "$CLI" --quiet --home "$HOME_DIR" to-text --target "$HOME_DIR/bench.ini" \
        --binary "$DATA_BIN" --text "$DATA_TEXT" --no-backup --yes "${threads[@]}")
    lines=$(wc -l <"$DATA_TEXT")
    ((lines == RECORDS + 1)) || fail "the text has $lines lines, not $((RECORDS + 1))"
    others=$(tail -n +2 "$DATA_TEXT" | grep -cv "^$ZERO_LINE"$'\r$' || true)
    ((others == 0)) || fail "$others lines of the text are not the zero record's"
    echo "== to-binary, threads $setting"
    results[$setting,binary]=$(measure "$CLI" --quiet --home "$HOME_DIR" to-binary --target "$HOME_DIR/bench.ini" \
        --text "$DATA_TEXT" --binary "$DATA_BIN" --no-backup --yes "${threads[@]}")
    cmp -s -n $((RECORDS * 32)) "$DATA_BIN" /dev/zero || fail "the binary file written back is not all zero bytes"
done
text_bytes=$(stat -c %s "$DATA_TEXT")

echo
echo "4 GiB: $RECORDS records of 32 bytes, text $text_bytes bytes, one run each, $(machine_line)"
printf '%-10s %8s %9s %12s %8s %9s\n' direction threads seconds "records/s" "CPU use" "peak MB"
for direction in text binary; do
    for setting in "${SETTINGS[@]}"; do
        read -r seconds cpu peak <<<"${results[$setting,$direction]}"
        printf '%-10s %8s %9s %12.0f %8s %9s\n' "to-$direction" "$setting" "$seconds" \
            "$(awk -v s="$seconds" -v n="$RECORDS" 'BEGIN { print n / s }')" "$cpu" "$peak"
    done
done
