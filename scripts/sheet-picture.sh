#!/usr/bin/env bash
# Refreshes docs/sheet.png: a printed sheet of the sample card (2 columns, 6 rows), made by the
# program's own print code into a PDF file and turned into a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARZELLO_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quarzello-print-sheet >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
  "$build/bench/quarzello-print-sheet" --grid 2x6 "$work/sheet.pdf"
pdftoppm -png -r 60 -singlefile "$work/sheet.pdf" docs/sheet
echo "docs/sheet.png"
