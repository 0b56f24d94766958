#!/usr/bin/env bash
# Draws the main window, with the bundled example targets loaded, and the progress window of a
# run into docs/screenshot.png and docs/screenshot-progress.png. Needs no display: Qt draws
# offscreen. MORVANE_BUILD_DIR names another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

build_dir=${MORVANE_BUILD_DIR:-build}
morvane_install_packages
morvane_build "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build_dir/morvane_screenshot" docs/screenshot.png docs/screenshot-progress.png
echo "Written: docs/screenshot.png docs/screenshot-progress.png"
