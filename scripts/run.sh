#!/usr/bin/env bash
# Builds Quadrixel and starts it in the examples folder, beside the sample
# data file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build >&2
cmake --preset release >/dev/null
cmake --build --preset release --target quadrixel >/dev/null
cd examples
exec ../build/release/quadrixel
