#!/usr/bin/env bash
# The build gives each layer only its own headers and those of the layers below it; a relative
# include ("../print/sheet.h") would reach around that. None may exist.
set -euo pipefail
cd "$(dirname "$0")/.."
if grep -rnE '#include[[:space:]]*["<]\.\.' src tests bench fuzz; then
  echo "Include project headers as \"<layer>/<header>.h\", never through \"..\"." >&2
  exit 1
fi
