#!/usr/bin/env bash
# Builds Quadrixel and runs every test twice: in a debug build under
# AddressSanitizer and UndefinedBehaviorSanitizer, then in the release build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in debug release; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
