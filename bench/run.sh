#!/usr/bin/env bash
# Throughput of both conversions against the hand-written yardstick, timed side by side.
#
#   bench/run.sh [RECORDS] [RUNS]      defaults: 1000000 records, 11 timed runs of each command
#
# Builds morvane-cli (Release) into build-bench/ and the yardstick from ../shared/bench into a
# scratch folder, generates the data set, writes a target for its layout and times, alternating,
# morvane-cli to-text against the yardstick's streaming to-text, and morvane-cli to-binary against
# its streaming to-bin. Both outputs must equal the expected files byte for byte. Prints the
# medians, records per second, the ratio ours / yardstick and the peak memory of each command.
# MORVANE_YARDSTICK overrides the yardstick's folder; MORVANE_BENCH_KEEP=1 keeps the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly ROOT=$PWD
readonly RECORDS=${1:-1000000}
readonly RUNS=${2:-11}
readonly YARDSTICK=${MORVANE_YARDSTICK:-$ROOT/../shared/bench}
readonly BUILD=$ROOT/build-bench
readonly GOAL_RATIO=1.5
readonly GOAL_MEMORY_KB=$((32 * 1024))

fail() {
    echo "bench: $*" >&2
    exit 1
}

[[ $RECORDS =~ ^[0-9]+$ && $RECORDS -ge 1 ]] || fail "RECORDS must be a number of at least 1"
[[ $RUNS =~ ^[0-9]+$ && $RUNS -ge 1 ]] || fail "RUNS must be a number of at least 1"

missing=()
for tool in cmake:cmake ninja:ninja-build g++:g++ python3:python3 cmp:diffutils; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    echo "bench: missing packages; install them with:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
[[ -f $YARDSTICK/reference_convert.cpp && -f $YARDSTICK/gen_data.py ]] ||
    fail "no yardstick in $YARDSTICK (set MORVANE_YARDSTICK to the folder of reference_convert.cpp)"

SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/morvane-bench.XXXXXX")
readonly SCRATCH
cleanup() { [[ ${MORVANE_BENCH_KEEP:-} == 1 ]] && echo "bench: kept $SCRATCH" || rm -rf "$SCRATCH"; }
trap cleanup EXIT

echo "== Building morvane-cli (Release) into build-bench/ and the yardstick"
quietly() { "$@" >"$SCRATCH/build.log" 2>&1 || { cat "$SCRATCH/build.log" >&2; fail "build failed: $*"; }; }
quietly cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_TESTS=OFF
quietly ninja -C "$BUILD" morvane-cli
readonly CLI=$BUILD/morvane-cli
g++ -std=c++17 -O2 -o "$SCRATCH/reference_convert" "$YARDSTICK/reference_convert.cpp"
readonly REFERENCE=$SCRATCH/reference_convert

echo "== Generating $RECORDS records"
python3 "$YARDSTICK/gen_data.py" --records "$RECORDS" "$SCRATCH/data"
readonly DATA_BIN=$SCRATCH/data.bin
readonly DATA_TEXT=$SCRATCH/data.expected.txt

# The target for the data set's layout; its files are found against the program folder (--home).
readonly HOME_DIR=$SCRATCH/home
mkdir -p "$HOME_DIR"
printf '0\tSword\n1\tShield\n2\tPotion\n3\tHerb\n4\tKey\n5\tMap\n6\tRing\n7\tGem\n' >"$HOME_DIR/kinds.tsv"
cat >"$HOME_DIR/bench.txt" <<'EOF'
// name,  length, order, type, columns, headers,     number codes
ID,       4,      R,     u,    1,       ID
Level,    2,      R,     n,    1,       Level
Price,    4,      N,     u,    1,       Price
Flags,    1,      R,     2,    4,       F1 F2 F3 F4
Kind,     1,      R,     u,    1,       Kind,        kinds.tsv
Filler,   4,      R,     u,    0,
Name,     16,     N,     s,    1,       Name
EOF
cat >"$HOME_DIR/bench.ini" <<EOF
[FileInfo]
Label=Benchmark
RecordDefinitionFileRP=bench.txt
BStartPosition=0
BRecordSize=32
BRecordCount=$RECORDS
TDelimiter=,
EOF

readonly OURS_TEXT=$SCRATCH/ours.txt
readonly OURS_BIN=$SCRATCH/ours.bin
readonly REF_TEXT=$SCRATCH/reference.txt
readonly REF_BIN=$SCRATCH/reference.bin
ours_to_text=("$CLI" --quiet --home "$HOME_DIR" to-text --target "$HOME_DIR/bench.ini"
    --binary "$DATA_BIN" --text "$OURS_TEXT" --no-backup --yes)
ours_to_binary=("$CLI" --quiet --home "$HOME_DIR" to-binary --target "$HOME_DIR/bench.ini"
    --text "$DATA_TEXT" --binary "$OURS_BIN" --no-backup --yes)
reference_to_text=("$REFERENCE" --stream to-text "$DATA_BIN" "$REF_TEXT")
reference_to_binary=("$REFERENCE" --stream to-bin "$DATA_TEXT" "$REF_BIN")

same_bytes() { cmp -s "$1" "$2" || fail "$3 differs from $(basename "$2")"; }

check_outputs() {
    same_bytes "$OURS_TEXT" "$DATA_TEXT" "morvane-cli to-text output"
    same_bytes "$OURS_BIN" "$DATA_BIN" "morvane-cli to-binary output"
    same_bytes "$REF_TEXT" "$DATA_TEXT" "yardstick to-text output"
    same_bytes "$REF_BIN" "$DATA_BIN" "yardstick to-bin output"
}

echo "== Checking the outputs"
# The binary is written in place into a file of zero bytes: every record byte, the fillers
# excepted, must come from the text.
truncate -s $((RECORDS * 32)) "$OURS_BIN"
for command in ours_to_text ours_to_binary reference_to_text reference_to_binary; do
    declare -n run=$command
    "${run[@]}" >/dev/null || fail "$command failed"
done
check_outputs

# Seconds of one run of the named command, with microsecond resolution.
elapsed() {
    declare -n run=$1
    local start=$EPOCHREALTIME
    "${run[@]}" >/dev/null || fail "$1 failed"
    local end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== Timing $RUNS runs of each command, alternating (one warm-up round first)"
declare -A times
for ((round = 0; round <= RUNS; ++round)); do
    for command in ours_to_text reference_to_text ours_to_binary reference_to_binary; do
        seconds=$(elapsed $command)
        if ((round > 0)); then times[$command]+="$seconds"$'\n'; fi
    done
done
check_outputs

# Peak resident memory in kilobytes of one run of the named command.
peak_kb() {
    declare -n run=$1
    /usr/bin/time -v "${run[@]}" 2>&1 >/dev/null | awk -F': *' '/Maximum resident set size/ { print $2 }'
}

echo
echo "$RECORDS records of 32 bytes, $RUNS runs each, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(awk -F': *' '/model name/ { print $2; exit }' /proc/cpuinfo)"
printf '%-10s %9s %11s %12s %12s %6s %10s %10s\n' direction "ours s" "yardstick s" "ours rec/s" \
    "yard. rec/s" ratio "ours peak" "yard. peak"
goals_met=1
for direction in text binary; do
    ours=$(printf '%s' "${times[ours_to_$direction]}" | median)
    reference=$(printf '%s' "${times[reference_to_$direction]}" | median)
    ours_kb=$(peak_kb ours_to_$direction)
    reference_kb=$(peak_kb reference_to_$direction)
    read -r ratio ours_rate reference_rate < <(awk -v o="$ours" -v r="$reference" -v n="$RECORDS" \
        'BEGIN { printf "%.2f %.0f %.0f\n", o / r, n / o, n / r }')
    printf '%-10s %9.3f %11.3f %12s %12s %6s %7.1f MB %7.1f MB\n' "to-$direction" "$ours" "$reference" \
        "$ours_rate" "$reference_rate" "$ratio" "$(awk -v k="$ours_kb" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$reference_kb" 'BEGIN { print k / 1024 }')"
    awk -v r="$ratio" -v g="$GOAL_RATIO" 'BEGIN { exit !(r <= g) }' || {
        echo "  goal missed: to-$direction takes more than $GOAL_RATIO times the yardstick's time"
        goals_met=0
    }
    ((ours_kb < GOAL_MEMORY_KB)) || {
        echo "  goal missed: to-$direction peaks at 32 MB or more"
        goals_met=0
    }
done
echo
((goals_met)) && echo "Goals met: within $GOAL_RATIO times the yardstick, under 32 MB, outputs identical." ||
    echo "Outputs identical; see the goals missed above."
