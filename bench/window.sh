#!/usr/bin/env bash
# A Binary => Text job through the desktop program's window against the same job through
# morvane-cli, timed side by side.
#
#   bench/window.sh [RECORDS] [RUNS]      defaults: 1000000 records, 11 timed runs of each
#
# Builds morvane-cli and morvane_window_job (as ./run.sh builds it) into build-bench/, generates the data set,
# writes the target of bench/run.sh and a settings file naming it, and times, alternating, the
# window program (Qt's offscreen platform: the main window and the progress window are drawn,
# nothing is put on a screen) against morvane-cli to-text, both replacing their output without
# a backup copy. Both outputs must equal the expected text byte for byte. Prints the medians of
# the whole programs, of the job alone in the window (from the click to its end) and the ratios
# window / morvane-cli. MORVANE_YARDSTICK overrides the folder of gen_data.py;
# MORVANE_BENCH_KEEP=1 keeps the scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
read_records_and_runs "$@"
readonly GOAL_RATIO=1.2

require_tools cmake:cmake ninja:ninja-build g++:g++ python3:python3 cmp:diffutils
[[ -f $YARDSTICK/gen_data.py ]] || fail "no gen_data.py in $YARDSTICK (set MORVANE_YARDSTICK to its folder)"

make_scratch

build_for_users morvane-cli morvane_window_job
readonly CLI=$BUILD/morvane-cli
readonly WINDOW=$BUILD/morvane_window_job

generate_data_and_target
# The window program reads the settings file named after it beside it: the target in slot 1.
printf '[FileInfoDefaultRP]\nFileInfo1=bench.ini\n' >"$HOME_DIR/morvane_window_job.ini"

# No screen; the runtime folder of the single-instance lock is the scratch folder's, so that a
# desktop program running meanwhile does not refuse the window program.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$SCRATCH/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

readonly WINDOW_TEXT=$SCRATCH/window.txt
readonly CLI_TEXT=$SCRATCH/cli.txt
readonly JOB_SECONDS=$SCRATCH/job-seconds
window_to_text=("$WINDOW" "$HOME_DIR" "$DATA_BIN" "$WINDOW_TEXT")
cli_to_text=("$CLI" --quiet --home "$HOME_DIR" to-text --target "$HOME_DIR/bench.ini"
    --binary "$DATA_BIN" --text "$CLI_TEXT" --no-backup --yes)

check_outputs() {
    same_bytes "$WINDOW_TEXT" "$DATA_TEXT" "the window's output"
    same_bytes "$CLI_TEXT" "$DATA_TEXT" "morvane-cli to-text output"
}

echo "== Checking the outputs"
run_each_once window_to_text cli_to_text
check_outputs

echo "== Timing $RUNS runs of each command, alternating (one warm-up round first)"
window_times='' job_times='' start_times='' cli_times=''
for ((round = 0; round <= RUNS; ++round)); do
    # Each run starts with nothing of the run before left to write back to the disk.
    sync
    window_seconds=$(elapsed window_to_text "$JOB_SECONDS")
    sync
    cli_seconds=$(elapsed cli_to_text)
    if ((round > 0)); then
        window_times+="$window_seconds"$'\n'
        job_seconds=$(<"$JOB_SECONDS")
        job_times+="$job_seconds"$'\n'
        start_times+="$(awk -v w="$window_seconds" -v j="$job_seconds" 'BEGIN { printf "%.6f\n", w - j }')"$'\n'
        cli_times+="$cli_seconds"$'\n'
    fi
done
check_outputs

window=$(printf '%s' "$window_times" | median)
job=$(printf '%s' "$job_times" | median)
start=$(printf '%s' "$start_times" | median)
cli=$(printf '%s' "$cli_times" | median)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
job_ratio=$(ratio "$job" "$cli")

echo
echo "$RECORDS records of 32 bytes, Binary => Text, $RUNS runs each, $(machine_line)"
printf '%-34s %9s %13s %6s\n' "" "window s" "morvane-cli s" ratio
printf '%-34s %9.3f %13.3f %6s\n' "whole program" "$window" "$cli" "$(ratio "$window" "$cli")"
printf '%-34s %9.3f %13.3f %6s\n' "the job (window: click to end)" "$job" "$cli" "$job_ratio"
printf '%-34s %9.3f\n' "the window program but the job" "$start"
echo
if awk -v r="$job_ratio" -v g="$GOAL_RATIO" 'BEGIN { exit !(r <= g) }'; then
    echo "Goal met: the job through the window within $GOAL_RATIO times morvane-cli's; outputs identical."
else
    echo "Goal missed: the job through the window takes more than $GOAL_RATIO times morvane-cli's; outputs identical."
fi
