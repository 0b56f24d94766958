#!/usr/bin/env bash
# Throughput of both conversions against the hand-written yardstick, timed side by side.
#
#   bench/run.sh [RECORDS] [RUNS]      defaults: 1000000 records, 11 timed runs of each command
#
# Builds morvane-cli (as ./run.sh builds it) into build-bench/ and the yardstick from
# ../shared/bench into a scratch folder, generates the data set, writes a target for its layout
# and times, alternating, morvane-cli to-text against the yardstick's streaming to-text, and
# morvane-cli to-binary against its streaming to-bin, both also on one thread (--threads 1), and
# morvane-cli check (the round trip of the binary file, and the dry run of the text file) against
# to-text and to-binary on one thread; then, in fewer rounds, the Python peer (python_peer.py,
# struct and csv). All outputs must equal the expected files byte for byte, and both checks must
# find nothing. Prints the medians, records per second, the ratios ours / yardstick, Python /
# ours and check / (to-text + to-binary) and the peak memory of each command.
# MORVANE_YARDSTICK overrides the yardstick's folder; MORVANE_BENCH_KEEP=1 keeps the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
read_records_and_runs "$@"
readonly GOAL_RATIO=1.0
readonly GOAL_PEER=15
readonly GOAL_MEMORY_KB=$((32 * 1024))
# The Python peer takes seconds a run: three rounds give its median.
readonly PEER_RUNS=$((RUNS < 3 ? RUNS : 3))

require_tools cmake:cmake ninja:ninja-build g++:g++ python3:python3 cmp:diffutils /usr/bin/time:time
[[ -f $YARDSTICK/reference_convert.cpp && -f $YARDSTICK/gen_data.py ]] ||
    fail "no yardstick in $YARDSTICK (set MORVANE_YARDSTICK to the folder of reference_convert.cpp)"

make_scratch

build_for_users morvane-cli
readonly CLI=$BUILD/morvane-cli
g++ -std=c++17 -O2 -o "$SCRATCH/reference_convert" "$YARDSTICK/reference_convert.cpp"
readonly REFERENCE=$SCRATCH/reference_convert

generate_data_and_target

readonly OURS_TEXT=$SCRATCH/ours.txt
readonly OURS_BIN=$SCRATCH/ours.bin
readonly REF_TEXT=$SCRATCH/reference.txt
readonly REF_BIN=$SCRATCH/reference.bin
readonly PEER_TEXT=$SCRATCH/peer.txt
readonly PEER_BIN=$SCRATCH/peer.bin
ours_to_text=("$CLI" --quiet --home "$HOME_DIR" to-text --target "$HOME_DIR/bench.ini"
    --binary "$DATA_BIN" --text "$OURS_TEXT" --no-backup --yes)
ours_to_binary=("$CLI" --quiet --home "$HOME_DIR" to-binary --target "$HOME_DIR/bench.ini"
    --text "$DATA_TEXT" --binary "$OURS_BIN" --no-backup --yes)
ours_to_text_one_thread=("${ours_to_text[@]}" --threads 1)
ours_to_binary_one_thread=("${ours_to_binary[@]}" --threads 1)
# The checks write nothing; their reports go to standard output.
ours_check=("$CLI" --quiet --home "$HOME_DIR" check --target "$HOME_DIR/bench.ini" --binary "$DATA_BIN")
ours_dry_run=("$CLI" --quiet --home "$HOME_DIR" check --target "$HOME_DIR/bench.ini" --binary "$DATA_BIN"
    --text "$DATA_TEXT")
reference_to_text=("$REFERENCE" --stream to-text "$DATA_BIN" "$REF_TEXT")
reference_to_binary=("$REFERENCE" --stream to-bin "$DATA_TEXT" "$REF_BIN")
peer_to_text=(python3 bench/python_peer.py to-text "$DATA_BIN" "$PEER_TEXT")
peer_to_binary=(python3 bench/python_peer.py to-binary "$DATA_TEXT" "$PEER_BIN")

check_outputs() {
    same_bytes "$OURS_TEXT" "$DATA_TEXT" "morvane-cli to-text output"
    same_bytes "$OURS_BIN" "$DATA_BIN" "morvane-cli to-binary output"
    same_bytes "$REF_TEXT" "$DATA_TEXT" "yardstick to-text output"
    same_bytes "$REF_BIN" "$DATA_BIN" "yardstick to-bin output"
    same_bytes "$PEER_TEXT" "$DATA_TEXT" "Python peer to-text output"
    same_bytes "$PEER_BIN" "$DATA_BIN" "Python peer to-binary output"
}

echo "== Checking the outputs"
# The binary is written in place into a file of zero bytes: every record byte, the fillers
# excepted, must come from the text.
truncate -s $((RECORDS * 32)) "$OURS_BIN"
run_each_once ours_to_text ours_to_binary reference_to_text reference_to_binary peer_to_text peer_to_binary
check_outputs
run_each_once ours_to_text_one_thread ours_to_binary_one_thread
check_outputs

# The last line of a check's report, which must say that nothing would change or fail.
check_finds_nothing() {
    declare -n run=$1
    local last
    last=$("${run[@]}" | tail -n 1) || fail "$1 found something: $last"
    [[ $last == "$2" ]] || fail "$1 reported: $last"
}
check_finds_nothing ours_check "$RECORDS records checked, 0 would change, 0 would fail."
check_finds_nothing ours_dry_run "$RECORDS lines checked, 0 would fail, 0 cells would be cut."

echo "== Timing $RUNS runs of each command, alternating (one warm-up round first)"
time_alternating ours_to_text reference_to_text ours_to_binary reference_to_binary ours_to_text_one_thread \
    ours_to_binary_one_thread ours_check ours_dry_run
echo "== Timing $PEER_RUNS runs of the Python peer each way (one warm-up round first)"
time_rounds "$PEER_RUNS" peer_to_text peer_to_binary
check_outputs

echo
echo "$RECORDS records of 32 bytes, $RUNS runs each ($PEER_RUNS of the Python peer), $(machine_line)"
printf '%-10s %9s %11s %12s %12s %6s %9s %8s %10s %10s\n' direction "ours s" "yardstick s" "ours rec/s" \
    "yard. rec/s" ratio "Python s" "Py/ours" "ours peak" "yard. peak"
goals_met=1
for direction in text binary; do
    ours=$(median_of ours_to_$direction)
    reference=$(median_of reference_to_$direction)
    peer=$(median_of peer_to_$direction)
    ours_kb=$(peak_kb ours_to_$direction)
    reference_kb=$(peak_kb reference_to_$direction)
    read -r ratio ours_rate reference_rate peer_ratio < <(awk -v o="$ours" -v r="$reference" -v n="$RECORDS" \
        -v p="$peer" 'BEGIN { printf "%.2f %.0f %.0f %.1f\n", o / r, n / o, n / r, p / o }')
    printf '%-10s %9.3f %11.3f %12s %12s %6s %9.3f %8s %7.1f MB %7.1f MB\n' "to-$direction" "$ours" "$reference" \
        "$ours_rate" "$reference_rate" "$ratio" "$peer" "$peer_ratio" "$(awk -v k="$ours_kb" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$reference_kb" 'BEGIN { print k / 1024 }')"
    awk -v r="$ratio" -v g="$GOAL_RATIO" 'BEGIN { exit !(r <= g) }' || {
        echo "  goal missed: to-$direction takes more than $GOAL_RATIO times the yardstick's time"
        goals_met=0
    }
    awk -v r="$peer_ratio" -v g="$GOAL_PEER" 'BEGIN { exit !(r >= g) }' || {
        echo "  goal missed: to-$direction is less than $GOAL_PEER times as fast as the Python peer"
        goals_met=0
    }
    ((ours_kb < GOAL_MEMORY_KB)) || {
        echo "  goal missed: to-$direction peaks at 32 MB or more"
        goals_met=0
    }
done

# The same conversions on one thread: what the blocks across the cores bring.
echo
printf '%-10s %13s %15s %8s\n' direction "one thread s" "all threads s" speedup
for direction in text binary; do
    one=$(median_of ours_to_${direction}_one_thread)
    all=$(median_of ours_to_$direction)
    printf '%-10s %13.3f %15.3f %8s\n' "to-$direction" "$one" "$all" "$(awk -v a="$one" -v b="$all" 'BEGIN { printf "%.2f", a / b }')"
done

# The checks against the conversions they stand for, one record after the other as the checks
# go, timed in the same rounds.
echo
printf '%-10s %9s %12s %12s %16s %10s\n' check "ours s" "to-text s" "to-binary s" "check / (t + b)" "ours peak"
text_median=$(median_of ours_to_text_one_thread)
binary_median=$(median_of ours_to_binary_one_thread)
for check in check dry_run; do
    ours=$(median_of ours_$check)
    ours_kb=$(peak_kb ours_$check)
    ratio=$(awk -v c="$ours" -v t="$text_median" -v b="$binary_median" 'BEGIN { printf "%.2f\n", c / (t + b) }')
    printf '%-10s %9.3f %12.3f %12.3f %16s %7.1f MB\n' "${check//_/-}" "$ours" "$text_median" "$binary_median" \
        "$ratio" "$(awk -v k="$ours_kb" 'BEGIN { print k / 1024 }')"
    awk -v r="$ratio" 'BEGIN { exit !(r <= 1) }' || {
        echo "  goal missed: $check takes longer than to-text and to-binary together"
        goals_met=0
    }
    ((ours_kb < GOAL_MEMORY_KB)) || {
        echo "  goal missed: $check peaks at 32 MB or more"
        goals_met=0
    }
done

echo
((goals_met)) &&
    echo "Goals met: within $GOAL_RATIO times the yardstick, $GOAL_PEER times the Python peer, checks within to-text and to-binary together, under 32 MB, outputs identical." ||
    echo "Outputs identical; see the goals missed above."
