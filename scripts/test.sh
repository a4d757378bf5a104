#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite through CTest.
# The tests start their own private CUPS scheduler and their own Xvfb where they need them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
