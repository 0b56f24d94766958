#!/usr/bin/env bash
# Text items in a declared encoding: the benchmark layout with Japanese names in CP932, converted
# with BTextEncoding=CP932 against the same target without the key, timed side by side.
#
#   bench/encoding.sh [RECORDS] [RUNS]      defaults: 1000000 records, 11 timed runs of each command
#
# Builds morvane-cli (as ./run.sh builds it) into build-bench/, generates the data set with the yardstick's
# generator and rewrites its names into CP932 (bench/cp932_names.py), writes the benchmark target
# twice, once with BTextEncoding=CP932, and times, alternating, to-text and to-binary of both.
# With the key the text file holds the names in UTF-8; without it their CP932 bytes pass through
# unchanged. Every output must equal the expected file byte for byte. Prints per direction the
# medians, the ratio with / without the key (the goal is at most 1.5) and the peak memory of
# one run with the key. MORVANE_YARDSTICK overrides the generator's folder; MORVANE_BENCH_KEEP=1
# keeps the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
read_records_and_runs "$@"
readonly GOAL_RATIO=1.5

require_tools cmake:cmake ninja:ninja-build python3:python3 cmp:diffutils /usr/bin/time:time
[[ -f $YARDSTICK/gen_data.py ]] || fail "no gen_data.py in $YARDSTICK (set MORVANE_YARDSTICK to its folder)"

make_scratch

build_for_users morvane-cli
readonly CLI=$BUILD/morvane-cli

generate_data_and_target
echo "== Writing the names in CP932"
python3 bench/cp932_names.py "$SCRATCH/data"
# DATA_TEXT now holds the names in UTF-8; this file holds them as the target without the key
# writes and reads them, in CP932.
readonly DATA_CP932_TEXT=$SCRATCH/data.cp932.txt
readonly PLAIN_TARGET=$HOME_DIR/bench.ini
readonly ENCODED_TARGET=$HOME_DIR/bench-cp932.ini
{
    cat "$PLAIN_TARGET"
    echo "BTextEncoding=CP932"
} >"$ENCODED_TARGET"

readonly ENCODED_TEXT=$SCRATCH/encoded.txt
readonly ENCODED_BIN=$SCRATCH/encoded.bin
readonly PLAIN_TEXT=$SCRATCH/plain.txt
readonly PLAIN_BIN=$SCRATCH/plain.bin
encoded_to_text=("$CLI" --quiet --home "$HOME_DIR" to-text --target "$ENCODED_TARGET"
    --binary "$DATA_BIN" --text "$ENCODED_TEXT" --no-backup --yes)
encoded_to_binary=("$CLI" --quiet --home "$HOME_DIR" to-binary --target "$ENCODED_TARGET"
    --text "$DATA_TEXT" --binary "$ENCODED_BIN" --no-backup --yes)
plain_to_text=("$CLI" --quiet --home "$HOME_DIR" to-text --target "$PLAIN_TARGET"
    --binary "$DATA_BIN" --text "$PLAIN_TEXT" --no-backup --yes)
plain_to_binary=("$CLI" --quiet --home "$HOME_DIR" to-binary --target "$PLAIN_TARGET"
    --text "$DATA_CP932_TEXT" --binary "$PLAIN_BIN" --no-backup --yes)

check_outputs() {
    same_bytes "$ENCODED_TEXT" "$DATA_TEXT" "to-text with BTextEncoding=CP932"
    same_bytes "$ENCODED_BIN" "$DATA_BIN" "to-binary with BTextEncoding=CP932"
    same_bytes "$PLAIN_TEXT" "$DATA_CP932_TEXT" "to-text without BTextEncoding"
    same_bytes "$PLAIN_BIN" "$DATA_BIN" "to-binary without BTextEncoding"
}

echo "== Checking the outputs"
# The binaries are written in place into files of zero bytes: every record byte, the fillers
# excepted, must come from the text.
truncate -s $((RECORDS * 32)) "$ENCODED_BIN" "$PLAIN_BIN"
run_each_once encoded_to_text encoded_to_binary plain_to_text plain_to_binary
check_outputs

echo "== Timing $RUNS runs of each command, alternating (one warm-up round first)"
time_alternating encoded_to_text plain_to_text encoded_to_binary plain_to_binary
check_outputs

echo
echo "$RECORDS records of 32 bytes with CP932 names, $RUNS runs each, $(machine_line)"
printf '%-10s %11s %14s %7s %13s\n' direction "CP932 s" "no encoding s" ratio "CP932 peak"
goals_met=1
for direction in text binary; do
    encoded=$(median_of encoded_to_$direction)
    plain=$(median_of plain_to_$direction)
    encoded_kb=$(peak_kb encoded_to_$direction)
    ratio=$(awk -v e="$encoded" -v p="$plain" 'BEGIN { printf "%.2f\n", e / p }')
    printf '%-10s %11.3f %14.3f %7s %10.1f MB\n' "to-$direction" "$encoded" "$plain" "$ratio" \
        "$(awk -v k="$encoded_kb" 'BEGIN { print k / 1024 }')"
    awk -v r="$ratio" -v g="$GOAL_RATIO" 'BEGIN { exit !(r <= g) }' || {
        echo "  goal missed: to-$direction with BTextEncoding=CP932 takes more than $GOAL_RATIO times as long as without"
        goals_met=0
    }
done

echo
((goals_met)) &&
    echo "Goal met: with BTextEncoding=CP932 within $GOAL_RATIO times the run without it, outputs identical." ||
    echo "Outputs identical; see the goals missed above."
