#!/usr/bin/env bash
# Builds Quadrixel and runs every test twice: in a debug build under
# AddressSanitizer and UndefinedBehaviorSanitizer, then in the release build.
# Then runs each fuzz target for a bounded time (scripts/fuzz.sh; FUZZ_SECONDS
# sets the time per target, 0 leaves fuzzing out).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in debug release; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
if [ "${FUZZ_SECONDS:-40}" != 0 ]; then
  bash scripts/fuzz.sh
fi
