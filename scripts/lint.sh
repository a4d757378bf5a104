#!/usr/bin/env bash
# The tree's layout and lint: clang-format's layout on every C++ file git tracks, and the
# checks of .clang-tidy on the program's own sources, read against a build's
# compile_commands.json (scripts/test.sh's plain build, or the folder given).
#
#   scripts/lint.sh [BUILD_FOLDER]   default: build
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
echo "clang-format: ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: no $build/compile_commands.json: build first (cmake -S . -B $build)" >&2
  exit 1
fi
mapfile -t programs < <(git ls-files -- 'src/*.cpp')
echo "clang-tidy: ${#programs[@]} files"
printf '%s\0' "${programs[@]}" |
  xargs -0 -P"$(nproc)" -n4 clang-tidy -p "$build" --quiet 2>/dev/null
