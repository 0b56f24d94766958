#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

morvane_install_packages
morvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo
echo "Morvane's core libraries are built in build/."
echo "The window and the command line are not part of this build yet; ./test.sh runs the tests."
