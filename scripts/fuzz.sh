#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each of them for a bounded time on a copy of its seed corpus.
#
#   scripts/fuzz.sh [SECONDS]        every target for SECONDS (default 60)
#   FUZZ_TARGETS="fuzz_grid" scripts/fuzz.sh 300
#                                    only the targets named
#
# Targets (fuzz/fuzz_*.cpp; seeds in fuzz/corpus/<name without fuzz_>/):
#   fuzz_cardfile     any bytes as a card data file, in memory: split, decode, record, written
#                     again; any text as a record to be written
#   fuzz_cardfile_disk the same bytes read back from a real file (slower: a file per input)
#   fuzz_grid         grid texts (UTF-8 and Windows-1252): the leading number and the grid check
#   fuzz_cardcontent  eleven fields and the grid texts, composed and printed on a fixed-metric
#                     surface
#   fuzz_memberlist   any bytes as a member list: members in order, no line end in a field,
#                     refusals naming the file, the same bytes read the same way twice
#   fuzz_vcardlist    any bytes as an address book's contacts: the same, and no grid taken
#
# The build goes to build-fuzz/. The runs work on a copy of the seeds in a temporary folder, so
# that they never grow the repository's corpus. The status is not 0 when any target crashed,
# leaked, hung (1 s per input), ran out of memory (2 GiB) or drew a sanitizer report; its
# failing input and log are then kept in build-fuzz/artifacts/<target>/. To replay one:
#   build-fuzz/fuzz/fuzz_grid build-fuzz/artifacts/fuzz_grid/crash-...
# An input worth keeping as a regression case is copied into fuzz/corpus/<name>/ by hand.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi
targets=(${FUZZ_TARGETS:-fuzz_cardfile fuzz_cardfile_disk fuzz_grid fuzz_cardcontent fuzz_memberlist fuzz_vcardlist})
build=$root/build-fuzz

"$root/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DQUARZELLO_FUZZ=ON -DQUARZELLO_SANITIZE=ON \
  -DBUILD_TESTING=OFF
cmake --build "$build" -j2 --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The card file target writes its scratch file here, not into the system's temporary folder.
mkdir "$work/tmp"
export TMPDIR=$work/tmp

# Any sanitizer report ends the run as a crash, with the stack that led to it. AddressSanitizer
# keeps freed memory aside (256 MB by default) to catch late uses of it; filled and recycled,
# that quarantine made a long campaign's memory climb to a gigabyte, while the same inputs
# without it stay flat. 64 MB still catches a use of memory freed by the same input.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:print_stacktrace=1:quarantine_size_mb=64
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
if [ -f "$root/fuzz/lsan.supp" ]; then
  export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
fi

failed=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  name=${name%_disk}  # the disk target reads the card file target's seeds
  corpus=$work/corpus/$name
  artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  cp -r "$root/fuzz/corpus/$name/." "$corpus/"
  log=$artifacts/last-run.log
  echo "== $target: $seconds s"
  status=0
  # The card file's logic is all in lines of a few bytes: longer inputs only make it slower.
  length=()
  [ "$target" = fuzz_cardfile ] && length=(-max_len=512)
  (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=1 "${length[@]}" \
    -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus") >"$log" 2>&1 || status=$?
  # The last coverage line: how far the target got.
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -n 1 || true
  if [ $status -ne 0 ] ||
    grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "$target FAILED (status $status); log: $log"
    grep -E 'ERROR:|SUMMARY:|runtime error:|property broken|Test unit written' "$log" || true
    failed+=("$target")
  else
    echo "$target passed"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing: no crash, leak, hang or sanitizer report."
