#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

morvane_install_packages
morvane_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

# Under CI the core tests also run with AddressSanitizer and UndefinedBehaviorSanitizer.
if [ "${CI:-}" = "true" ] || [ "${MORVANE_SANITIZE_TESTS:-}" = "1" ]; then
    morvane_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j2
fi
