#!/usr/bin/env bash
# Checks the formatting of the C++ sources, then builds Quadrixel and runs
# every test: in a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and in the release build; between the two, each
# fuzz target for a bounded time (scripts/fuzz.sh; FUZZ_SECONDS sets the time
# per target, 0 leaves fuzzing out). Then the packages as a user installs
# them, and last the builds for the other platforms under their emulators
# (scripts/cross-test.sh; CROSS_TARGETS names them, default all four, empty
# leaves them out). Every build here fails on a compiler warning; the release
# build that scripts/run.sh makes does not.
set -euo pipefail
cd "$(dirname "$0")/.."

cross_targets=${CROSS_TARGETS-aarch64 i686 s390x windows}
needs=(test packages)
[ "${FUZZ_SECONDS:-40}" = 0 ] || needs+=(fuzz)
for target in $cross_targets; do needs+=("cross-$target"); done
# Everything at once, so that a fresh machine installs in one go.
scripts/install-deps.sh "${needs[@]}"

# stage NAME COMMAND...: runs one stage and says how long it took.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  echo "== $name: done in $((SECONDS - start)) s"
}
run_tests() {
  cmake --preset "$1" -DQUADRIXEL_WARNINGS_AS_ERRORS=ON
  cmake --build --preset "$1"
  ctest --preset "$1"
}

stage format scripts/check-format.sh
stage "debug build and tests" run_tests debug
if [ "${FUZZ_SECONDS:-40}" != 0 ]; then
  stage fuzzing bash scripts/fuzz.sh
fi
stage "release build and tests" run_tests release
stage packages bash scripts/test-packages.sh
for target in $cross_targets; do
  stage "$target build and tests" bash scripts/cross-test.sh "$target"
done
echo "== all passed in $SECONDS s"
