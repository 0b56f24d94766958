#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
source scripts/windows.sh

# --windows: the Windows build and its tests under Wine, instead of the Linux ones.
if [ "${1:-}" = "--windows" ]; then
    morvane_build_windows -DCMAKE_BUILD_TYPE=RelWithDebInfo
    morvane_test_windows
    exit 0
fi

morvane_install_packages
morvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

# Under CI the core tests also run with AddressSanitizer and UndefinedBehaviorSanitizer.
if [ "${CI:-}" = "true" ] || [ "${MORVANE_SANITIZE_TESTS:-}" = "1" ]; then
    morvane_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j2
fi

# Under CI the Windows build is made and tested under Wine as well.
if [ "${CI:-}" = "true" ]; then
    morvane_build_windows -DCMAKE_BUILD_TYPE=RelWithDebInfo
    morvane_test_windows
fi
