#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench) and runs them all in one go: start-up, peak
# memory, print job and Save then Load against their bare-Qt floors, then the whole printing
# process against another label program. Ends with one table: figure, value, floor, ratio,
# target, PASS or MISS.   scripts/bench.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
quick=""
[ "${1:-}" = "--quick" ] && quick="--quick"

scripts/deps.sh --bench
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARZELLO_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quarzello-bench quarzello >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No display is used or needed: every window is drawn by Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "Machine: $(nproc) cores, $(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), \
$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) memory, $(uname -sr)"
echo "All windows under QT_QPA_PLATFORM=offscreen; medians of repeated runs; value and floor"
echo "measured in this same run, taking turns."

rows="$work/rows.tsv"
"$build/bench/quarzello-bench" $quick --rows "$rows"

echo
echo "Whole process: quarzello --pdf against glabels-3-batch, 4 x 8 sheet of the sample card"
quarzello="$build/quarzello"
project=bench/businesscards-4x8.glabels
# The sample card, in the program's own data file format (Windows-1252, CR LF), 8 rows of 4.
printf '%s\r\n' "Dott." "Mario" "Rossi" "Presidente circolo" "Via Roma 1" "00100" "Roma (RM)" \
  "+39 06 1234567" "+39 333 1234567" "mario.rossi@esempio.it" "www.esempio.it" "8" "4" |
  iconv -f UTF-8 -t WINDOWS-1252 >"$work/sample.qcf"
# Both must really have drawn the 32 cards, every one with all eight lines.
"$quarzello" --pdf "$work/quarzello.pdf" "$work/sample.qcf"
glabels-3-batch -o "$work/glabels.pdf" "$project" >/dev/null
for pdf in quarzello glabels; do
  text=$(pdftotext "$work/$pdf.pdf" -)
  for line in "Dott. Mario Rossi" "Presidente circolo" "Via Roma 1" "00100 Roma (RM)" \
    "Tel.: +39 06 1234567" "Cell.: +39 333 1234567" "e-mail: mario.rossi@esempio.it" \
    "Internet: www.esempio.it"; do
    count=$(grep -cF -- "$line" <<<"$text" || true)
    if [ "$count" -ne 32 ]; then
      echo "$pdf.pdf holds \"$line\" $count times instead of 32: no comparison" >&2
      exit 1
    fi
  done
done
echo "  both PDF files hold the 32 cards with their eight lines"

runs=20
[ -n "$quick" ] && runs=5
hyperfine --shell=none --warmup 3 --runs "$runs" --export-csv "$work/whole.csv" \
  --command-name "quarzello --pdf" "$quarzello --pdf $work/quarzello.pdf $work/sample.qcf" \
  --command-name glabels-3-batch "glabels-3-batch -o $work/glabels.pdf $project"

# command,mean,stddev,median,user,system,min,max (seconds)
awk -F, -v OFS='\t' '
  NR > 1 { median[$1] = $4 }
  END {
    q = median["quarzello --pdf"]; g = median["glabels-3-batch"]
    speedup = g / q
    printf "whole process vs glabels-3-batch (speed-up)\t%.1f ms\t%.1f ms\t%.1fx\t>= 30x\t%s\n",
      q * 1000, g * 1000, speedup, (speedup >= 30 ? "PASS" : "MISS")
  }' "$work/whole.csv" >>"$rows"

echo
echo "Results (floor: for the whole process, the other program's time)"
{
  printf 'figure\tvalue\tfloor\tratio\ttarget\tresult\n'
  cat "$rows"
} | column -t -s $'\t'
