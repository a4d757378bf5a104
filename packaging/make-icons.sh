#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes every PNG of the icon from packaging/icons/quarzello.svg: the sizes of the desktop's
# icon theme, and the window's own 32 x 32 picture. The PNGs are kept in the repository, so a
# build needs no SVG converter; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || {
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends librsvg2-bin
}
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" packaging/icons/quarzello.svg -o "packaging/icons/quarzello-$size.png"
done
cp packaging/icons/quarzello-32.png resources/quarzello.png
ls -l packaging/icons/*.png resources/quarzello.png
