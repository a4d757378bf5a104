#!/usr/bin/env bash
# Refreshes docs/sheet.png: a printed sheet of the sample card (2 columns, 6 rows), made by the
# program's own command line into a PDF file and turned into a picture; and docs/back.png, the
# back of that sheet as the window keeps it (docs/stemma-esempio.svg, three lines, the QR code on
# the back), the second page of --pdf --retro.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)" --target quarzello >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\r\n' "Dott." "Mario" "Rossi" "Presidente circolo" "Via Roma 1" "00100" "Roma (RM)" \
  "+39 06 1234567" "+39 333 1234567" "mario.rossi@esempio.it" "www.esempio.it" "6" "2" |
  iconv -f UTF-8 -t WINDOWS-1252 >"$work/sample.qcf"
XDG_RUNTIME_DIR="$work" build/quarzello --pdf "$work/sheet.pdf" "$work/sample.qcf"
pdftoppm -png -r 60 -singlefile "$work/sheet.pdf" docs/sheet
echo "docs/sheet.png"

mkdir -p "$work/config/quarzello"
printf '%s\n' "[retro]" "stemma=$PWD/docs/stemma-esempio.svg" "riga1=Camper Club Roma" \
  "riga2=dal 1987" "riga3=www.camperclubroma.it" "codice_qr=true" \
  >"$work/config/quarzello/quarzello.conf"
XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" \
  build/quarzello --pdf "$work/back.pdf" --qr --retro "$work/sample.qcf"
pdftoppm -png -r 60 -f 2 -l 2 -singlefile "$work/back.pdf" docs/back
echo "docs/back.png"
