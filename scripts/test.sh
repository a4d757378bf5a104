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
usage() {
  echo "usage: scripts/test.sh [--quick]" >&2
  exit 2
}
quick=0
case $# in
  0) ;;
  1) [ "$1" = "--quick" ] && quick=1 || usage ;;
  *) usage ;;
esac

scripts/deps.sh
jobs=$(nproc)

# What really ran, as CTest and the fuzz script report it.
passed=0
failed=0
suite() {  # build folder, extra CMake options...
  local build=$1
  shift
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DQUARZELLO_WERROR=ON "$@"
  cmake --build "$build" -j"$jobs"
  local log
  log=$(mktemp)
  ctest --test-dir "$build" --output-on-failure -j"$jobs" | tee "$log" || true
  # "100% tests passed, 0 tests failed out of 17"
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" || true)
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "CTest gave no result for $build" >&2
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}
summary() {
  echo "Summary: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

echo "== Test suite"
suite build

echo "== Layout and lint"
# clang-format's layout and .clang-tidy's checks on the whole tree, against the plain build: a
# step counted like a test, so that a slip fails the run instead of drifting in.
if scripts/lint.sh build; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
if [ $quick -eq 1 ]; then
  summary
  exit
fi

echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
suite build-asan -DQUARZELLO_SANITIZE=ON

echo "== Fuzzing"
log=$(mktemp)
scripts/fuzz.sh "${FUZZ_SECONDS:-60}" | tee "$log" || true
# One line per target that really ran: "fuzz_grid passed" or "fuzz_grid FAILED ...".
passed=$((passed + $(grep -cE '^fuzz_[a-z_]+ passed$' "$log" || true)))
failed=$((failed + $(grep -cE '^fuzz_[a-z_]+ FAILED' "$log" || true)))
if ! grep -qE '^Fuzzing: no crash' "$log" && ! grep -qE '^fuzz_[a-z_]+ FAILED' "$log"; then
  echo "The fuzz script stopped before its targets ran." >&2
  failed=$((failed + 1))
fi
rm -f "$log"
summary
