# shellcheck shell=bash
# What the benchmark scripts share: sourced by the scripts of bench/ from the clone's root.

readonly ROOT=$PWD
readonly YARDSTICK=${MORVANE_YARDSTICK:-$ROOT/../shared/bench}
readonly BUILD=$ROOT/build-bench

fail() {
    echo "bench: $*" >&2
    exit 1
}

# RECORDS and RUNS from the script's arguments: 1,000,000 records and 11 timed runs by default.
read_records_and_runs() {
    RECORDS=${1:-1000000}
    RUNS=${2:-11}
    readonly RECORDS RUNS
    [[ $RECORDS =~ ^[0-9]+$ && $RECORDS -ge 1 ]] || fail "RECORDS must be a number of at least 1"
    [[ $RUNS =~ ^[0-9]+$ && $RUNS -ge 1 ]] || fail "RUNS must be a number of at least 1"
}

# Stops with the line that installs what is missing; arguments are command:package pairs,
# "/usr/bin/time:time" asks for that program file.
require_tools() {
    local missing=() tool
    for tool in "$@"; do
        if [[ ${tool%%:*} == /* ]]; then
            [[ -x ${tool%%:*} ]] || missing+=("${tool#*:}")
        else
            command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
        fi
    done
    if ((${#missing[@]})); then
        echo "bench: missing packages; install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
}

# The scratch folder SCRATCH, removed at exit unless MORVANE_BENCH_KEEP=1.
make_scratch() {
    SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/morvane-bench.XXXXXX")
    readonly SCRATCH
    trap 'if [[ ${MORVANE_BENCH_KEEP:-} == 1 ]]; then echo "bench: kept $SCRATCH"; else rm -rf "$SCRATCH"; fi' EXIT
}

# Runs a build step, showing its output only when it fails.
quietly() { "$@" >"$SCRATCH/build.log" 2>&1 || { cat "$SCRATCH/build.log" >&2; fail "build failed: $*"; }; }

# The named targets built into build-bench/ as ./run.sh, ./test.sh and the packages build them, so
# that the figures are the ones users get.
build_for_users() {
    echo "== Building $* (as ./run.sh builds it) into build-bench/"
    quietly cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_TESTS=OFF
    quietly ninja -C "$BUILD" "$@"
}

# The target for the data set's layout in the folder HOME, for RECORDS records; its files are
# found against the program folder (--home HOME).
write_target() {
    local home=$1 records=$2
    mkdir -p "$home"
    printf '0\tSword\n1\tShield\n2\tPotion\n3\tHerb\n4\tKey\n5\tMap\n6\tRing\n7\tGem\n' >"$home/kinds.tsv"
    cat >"$home/bench.txt" <<'EOF'
// name,  length, order, type, columns, headers,     number codes
ID,       4,      R,     u,    1,       ID
Level,    2,      R,     n,    1,       Level
Price,    4,      N,     u,    1,       Price
Flags,    1,      R,     2,    4,       F1 F2 F3 F4
Kind,     1,      R,     u,    1,       Kind,        kinds.tsv
Filler,   4,      R,     u,    0,
Name,     16,     N,     s,    1,       Name
EOF
    cat >"$home/bench.ini" <<EOF
[FileInfo]
Label=Benchmark
RecordDefinitionFileRP=bench.txt
BStartPosition=0
BRecordSize=32
BRecordCount=$records
TDelimiter=,
EOF
}

same_bytes() { cmp -s "$1" "$2" || fail "$3 differs from $(basename "$2")"; }

# Seconds of one run of the command in the named array, with microsecond resolution. Its
# standard output goes to the file given second, else nowhere.
elapsed() {
    declare -n run=$1
    local start=$EPOCHREALTIME
    "${run[@]}" >"${2:-/dev/null}" || fail "$1 failed"
    local end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}

# Runs each named command once, its standard output to nowhere.
run_each_once() {
    local command
    for command in "$@"; do
        local -n run=$command
        "${run[@]}" >/dev/null || fail "$command failed"
    done
}

# One warm-up round and then RUNS rounds of the named commands, alternating within each round so
# that the load of a shared machine falls on all of them alike; times[COMMAND] gets the seconds
# of each timed run, one a line.
time_alternating() { time_rounds "$RUNS" "$@"; }

# The same with the number of timed rounds given first.
time_rounds() {
    declare -gA times
    local rounds=$1 round command seconds
    shift
    for ((round = 0; round <= rounds; ++round)); do
        for command in "$@"; do
            seconds=$(elapsed "$command")
            if ((round > 0)); then times[$command]+="$seconds"$'\n'; fi
        done
    done
}

# Peak resident memory in kilobytes of one run of the named command.
peak_kb() {
    declare -n run=$1
    /usr/bin/time -v "${run[@]}" 2>&1 >/dev/null | awk -F': *' '/Maximum resident set size/ { print $2 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The median of the named command's timed runs.
median_of() { printf '%s' "${times[$1]}" | median; }

machine_line() {
    echo "$(date -u +%Y-%m-%d), $(nproc) cores, $(awk -F': *' '/model name/ { print $2; exit }' /proc/cpuinfo)"
}

# The data set of RECORDS records in the scratch folder, and the target for it in HOME_DIR.
generate_data_and_target() {
    echo "== Generating $RECORDS records"
    python3 "$YARDSTICK/gen_data.py" --records "$RECORDS" "$SCRATCH/data"
    readonly DATA_BIN=$SCRATCH/data.bin
    readonly DATA_TEXT=$SCRATCH/data.expected.txt
    readonly HOME_DIR=$SCRATCH/home
    write_target "$HOME_DIR" "$RECORDS"
}
