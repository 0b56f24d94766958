#!/usr/bin/env bash
# Runs the example generator into a temporary folder and compares every file it writes, byte for
# byte, with the one kept in the examples folder.
#
#   generated_files_test.sh GENERATOR EXAMPLES_DIR
set -euo pipefail

GENERATOR=$1
EXAMPLES=$2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-examples-test.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

"$GENERATOR" "$WORK"
cd "$WORK"
count=0
while IFS= read -r file; do
    cmp "$file" "$EXAMPLES/$file" || { echo "FAILED: examples/$file is not the generator's output" >&2; exit 1; }
    count=$((count + 1))
done < <(find . -type f | sed 's|^\./||' | sort)
# The two item files, the two code tables, the login records and the names.
[ "$count" = 6 ] || { echo "FAILED: the generator wrote $count files, expected 6" >&2; exit 1; }
