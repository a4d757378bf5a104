#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack and prints its path as the last line; then
#   sudo apt install ./build-package/package/quarzello_<version>_amd64.deb
#
#   scripts/package.sh [BUILD_FOLDER]   a Release build in build-package unless a build is named
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --package
build=${1:-build-package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >&2
elif grep -q '^QUARZELLO_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  # Its program would need the sanitizer libraries, which no package depends on.
  echo "$build is a sanitizer build: package a plain one" >&2
  exit 1
fi
cmake --build "$build" -j"$(nproc)" --target quarzello >&2
# CPack's own account names the package it made.
report=$(cd "$build" && cpack -G DEB)
echo "$report" >&2
sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$report" | tail -n 1
