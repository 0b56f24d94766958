#!/usr/bin/env bash
# The Windows program with the bundled examples in a fresh folder, driven from outside: converts
# slot 1 Binary => Text through the window, compares the text file with the bundled one, and
# draws the window as a PNG. Runs on the display of with_display.sh, which exports WINE_LOADER.
# Usage: smoke_test.sh MORVANE_EXE DRIVER_EXE EXAMPLES_DIR SCREENSHOT_PNG
set -euo pipefail
program=$1 driver=$2 examples=$3 screenshot=$4

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp -r "$examples/." "$folder/"
cp "$program" "$driver" "$folder/"
# The text file is made anew; the bundled one is what it must hold.
mv "$folder/data/items.csv" "$folder/expected.csv"
cd "$folder"

"$WINE_LOADER" "$(basename "$driver")" expected.csv window.txt &
driver_pid=$!
# The driver says where the window lies once it has painted, and goes on when the file is gone.
while [ ! -e window.txt ] && kill -0 "$driver_pid" 2>/dev/null; do sleep 0.2; done
if [ -e window.txt ]; then
    read -r left top width height < <(tr -d "\r" <window.txt)
    xwd -root -silent | xwdtopnm 2>/dev/null |
        pnmcut -left "$left" -top "$top" -width "$width" -height "$height" | pnmtopng -compression 9 >"$screenshot"
    rm window.txt
    echo "Window drawn into $screenshot"
fi
wait "$driver_pid"
