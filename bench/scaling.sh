#!/usr/bin/env bash
# How both conversions scale with the worker threads and with the file's size.
#
#   bench/scaling.sh [RUNS] [THREADS...]     defaults: 5 timed runs, threads 1 2 4
#
# For 100,000, 1,000,000 and 10,000,000 records of the benchmark layout (MORVANE_SCALING_RECORDS
# lists others), times morvane-cli to-text and to-binary with --threads N for each N given,
# alternating within each round, and checks every output byte for byte. --threads 1 converts one
# record after the other; more converts blocks of records on that many worker threads while the
# main thread reads and writes them. Prints the medians, records per second, the speedup over one
# thread and the peak memory. MORVANE_BENCH_KEEP=1 keeps the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
read_records_and_runs 1 "${1:-5}"
shift $(($# > 0 ? 1 : 0))
THREADS=("$@")
((${#THREADS[@]})) || THREADS=(1 2 4)
read -r -a SIZES <<<"${MORVANE_SCALING_RECORDS:-100000 1000000 10000000}"

require_tools cmake:cmake ninja:ninja-build python3:python3 cmp:diffutils /usr/bin/time:time
[[ -f $YARDSTICK/gen_data.py ]] || fail "no yardstick in $YARDSTICK (set MORVANE_YARDSTICK)"

make_scratch
build_for_users morvane-cli
readonly CLI=$BUILD/morvane-cli

declare -A rows
for records in "${SIZES[@]}"; do
    echo "== $records records: generating, then $RUNS rounds"
    python3 "$YARDSTICK/gen_data.py" --records "$records" "$SCRATCH/data"
    home=$SCRATCH/home-$records
    write_target "$home" "$records"
    commands=()
    for threads in "${THREADS[@]}"; do
        declare -ga "text_$threads=(\"$CLI\" --quiet --home \"$home\" to-text --target \"$home/bench.ini\" \
            --binary \"$SCRATCH/data.bin\" --text \"$SCRATCH/ours.txt\" --no-backup --yes --threads $threads)"
        declare -ga "binary_$threads=(\"$CLI\" --quiet --home \"$home\" to-binary --target \"$home/bench.ini\" \
            --text \"$SCRATCH/data.expected.txt\" --binary \"$SCRATCH/ours.bin\" --no-backup --yes --threads $threads)"
        commands+=("text_$threads" "binary_$threads")
    done
    for threads in "${THREADS[@]}"; do
        rm -f "$SCRATCH/ours.txt"
        truncate -s 0 "$SCRATCH/ours.bin"
        truncate -s $((records * 32)) "$SCRATCH/ours.bin"
        run_each_once "text_$threads" "binary_$threads"
        same_bytes "$SCRATCH/ours.txt" "$SCRATCH/data.expected.txt" "to-text output with $threads threads"
        same_bytes "$SCRATCH/ours.bin" "$SCRATCH/data.bin" "to-binary output with $threads threads"
    done
    unset times
    time_alternating "${commands[@]}"
    for threads in "${THREADS[@]}"; do
        for direction in text binary; do
            seconds=$(median_of "${direction}_$threads")
            one=$(median_of "${direction}_${THREADS[0]}")
            rows[$records,$threads,$direction]=$(awk -v s="$seconds" -v o="$one" -v n="$records" -v k="$(peak_kb "${direction}_$threads")" \
                'BEGIN { printf "%9.3f %12.0f %8.2f %7.1f MB", s, n / s, o / s, k / 1024 }')
        done
    done
    rm -f "$SCRATCH/data.bin" "$SCRATCH/data.expected.txt" "$SCRATCH/ours.txt" "$SCRATCH/ours.bin"
done

echo
echo "Scaling, $RUNS runs each, medians, $(machine_line)"
printf '%-10s %10s %8s %9s %12s %8s %10s\n' direction records threads seconds "records/s" speedup peak
for direction in text binary; do
    for records in "${SIZES[@]}"; do
        for threads in "${THREADS[@]}"; do
            printf '%-10s %10s %8s %s\n' "to-$direction" "$records" "$threads" "${rows[$records,$threads,$direction]}"
        done
    done
done
echo "speedup: against ${THREADS[0]} thread(s) for the same file"
