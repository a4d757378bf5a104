#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its tools need, when any is missing:
# everything by default; --run-only for building and running the program, --package for making
# its package too, --bench for scripts/bench.sh.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev qt6-svg-dev libqt6svg6
  fonts-liberation
  cups cups-client cups-bsd libcups2-dev libqrencode-dev
  poppler-utils zbar-tools xvfb xauth xdotool imagemagick glabels-data
  # What a screen reader reads of the window (tst_realwindow): a session bus and AT-SPI.
  dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
  clang libclang-rt-14-dev llvm clang-format clang-tidy
  file dpkg-dev lintian appstream desktop-file-utils
)
# glabels-data: the makers' templates, the pre-cut card stock the paper list offers.
run_only=(cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libgl-dev qt6-svg-dev
  libqt6svg6 fonts-liberation libcups2-dev libqrencode-dev glabels-data)
case "$#:${1:-}" in
  0: | 1:--run-only | 1:--package | 1:--bench) ;;
  *)
    echo "usage: scripts/deps.sh [--run-only | --package | --bench]" >&2
    exit 2
    ;;
esac
if [ "${1:-}" = "--run-only" ]; then
  packages=("${run_only[@]}")
elif [ "${1:-}" = "--package" ]; then
  # CPack finds the package's library dependencies with dpkg-shlibdeps, which asks file.
  packages=("${run_only[@]}" file dpkg-dev)
elif [ "${1:-}" = "--bench" ]; then
  # Only scripts/bench.sh needs these: the peer program it is timed against, the timer,
  # poppler's tools to check that both really wrote their sheets, and an X server with the
  # DAMAGE extension for timing start-up as the user sees it.
  packages=("${run_only[@]}" poppler-utils glabels hyperfine xvfb xauth libx11-dev libxdamage-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
# Without recommends: qt6-base-dev and cups would otherwise pull in systemd, avahi and mesa.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
