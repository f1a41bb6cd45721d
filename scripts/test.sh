#!/usr/bin/env bash
# Checks the formatting of the C++ sources, then builds Quadrixel and runs
# every test twice: in a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and in the release build. Between the two, runs
# each fuzz target for a bounded time (scripts/fuzz.sh; FUZZ_SECONDS sets the
# time per target, 0 leaves fuzzing out). Every build here fails on a
# compiler warning; the release build that scripts/run.sh makes does not.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
echo "== format"
scripts/check-format.sh
run_tests() {
  echo "== $1 build"
  cmake --preset "$1" -DQUADRIXEL_WARNINGS_AS_ERRORS=ON
  cmake --build --preset "$1"
  ctest --preset "$1"
}

run_tests debug
if [ "${FUZZ_SECONDS:-40}" != 0 ]; then
  bash scripts/fuzz.sh
fi
run_tests release

# Last, the packages as a user installs them (scripts/test-packages.sh).
bash scripts/test-packages.sh
