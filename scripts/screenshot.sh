#!/usr/bin/env bash
# Refreshes docs/window.png (the program's window under Xvfb, filled with sample data) and
# docs/panel.png (the same with the printer panel open, "Salva come PDF…" at its foot).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)" --target quarzello

work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/quarzello "$work/"
# A sample card, in the program's own data file format (Windows-1252, CR LF).
printf '%s\r\n' "Dott." "Mario e Maria" "Rossi" "Presidente circolo" "Via Roma 1" "00100" \
  "Roma (RM)" "+39 06 1234567" "+39 333 1234567" "mario.rossi@esempio.it" "www.esempio.it" \
  "6" "2" | iconv -f UTF-8 -t WINDOWS-1252 > "$work/Quarzo.qdf"

Xvfb :77 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=:77 QT_QPA_PLATFORM=xcb "$work/quarzello" >/dev/null 2>&1 &
app=$!
wid=$(DISPLAY=:77 timeout 20 xdotool search --sync --onlyvisible --name '^Quarzello del Camperista$' | head -n1)
sleep 1
DISPLAY=:77 import -window "$wid" docs/window.png
echo "docs/window.png"
# Alt+S opens the printer panel.
DISPLAY=:77 xdotool windowfocus --sync "$wid" key alt+s
sleep 1
DISPLAY=:77 import -window "$wid" docs/panel.png
echo "docs/panel.png"
