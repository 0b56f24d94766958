#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

morvane_install_packages
morvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -x build/morvane ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec build/morvane
fi

echo
if [ -x build/morvane ]; then
    echo "There is no display here, so instead of the window this runs the example conversion"
    echo "with the command line. On a desktop, ./run.sh (or build/morvane) opens the window."
else
    echo "This runs the example conversion with the command line."
fi
echo
cd build
echo "\$ ./morvane-cli info --slot 1"
./morvane-cli info --slot 1
echo "\$ ./morvane-cli to-text --slot 1"
./morvane-cli to-text --slot 1
echo "\$ head -4 data/items.csv"
head -4 data/items.csv
