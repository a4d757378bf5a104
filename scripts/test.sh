#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite through CTest:
# once as built for use, once under AddressSanitizer and UndefinedBehaviorSanitizer, and then
# every fuzz target for a bounded time. The tests start their own private CUPS scheduler and
# their own Xvfb where they need them.
#
#   scripts/test.sh           everything (what CI runs)
#   scripts/test.sh --quick   the plain build's suite only
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
[ "${1:-}" = "--quick" ] && quick=1

scripts/deps.sh
jobs=$(nproc)

passed=0
suite() {  # build folder, extra CMake options...
  local build=$1
  shift
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON "$@"
  cmake --build "$build" -j"$jobs"
  ctest --test-dir "$build" --output-on-failure -j"$jobs"
  # Any failure has ended the script already (set -e): every test of the run passed.
  passed=$((passed + $(ctest --test-dir "$build" -N | sed -n 's/^Total Tests: //p')))
}
summary() { echo "Summary: $passed passed, 0 failed"; }

echo "== Test suite"
suite build
if [ $quick -eq 1 ]; then
  summary
  exit 0
fi

echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
suite build-asan -DQUARZELLO_SANITIZE=ON

echo "== Fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
passed=$((passed + $(ls -d fuzz/fuzz_*.cpp | wc -l)))
summary
