#!/usr/bin/env bash
# Builds Quadrixel and starts it in the examples folder, beside the sample
# data file.
set -euo pipefail
cd "$(dirname "$0")/.."

# Standard output is the program's own: what the tools print goes to
# standard error, a compiler's errors included.
scripts/install-deps.sh build >&2
cmake --preset release >/dev/null
cmake --build --preset release --target quadrixel >&2
cd examples
exec ../build/release/quadrixel
