#!/usr/bin/env bash
# Checks the formatting of the C++ sources, then builds Quadrixel and runs
# every test: in a debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests of the walk, the determinant and the
# adjoint, which share their work among threads, under ThreadSanitizer, and
# the release build; between the sanitizers and the release build, each fuzz
# target for a bounded time (scripts/fuzz.sh; FUZZ_SECONDS sets the time per
# target, 0 leaves fuzzing out). Then the release suite once more on a
# build with the portable block kernel alone, the packages as a user installs
# them, both README commands on a fresh Debian root file system
# (scripts/fresh-machine-test.sh; it needs root), and last the builds for the
# other platforms under their emulators (scripts/cross-test.sh; CROSS_TARGETS
# names them, default all six, empty leaves them out).
#
# Every build here fails on a compiler warning, and each has a build folder
# of its own (presets debug, tsan, strict, portable), so that the release build of
# scripts/run.sh and scripts/package.sh, which does not, is left as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

cross_targets=${CROSS_TARGETS-aarch64 armhf i686 riscv64 s390x windows}
needs=(test packages)
[ "${FUZZ_SECONDS:-40}" = 0 ] || needs+=(fuzz)
for target in $cross_targets; do needs+=("cross-$target"); done
# The fresh machine's own run of this script leaves that stage out.
fresh_root=yes
[ ! -e /.quadrixel-fresh-root ] || fresh_root=no
[ "$fresh_root" = no ] || [ "$(id -u)" -ne 0 ] || needs+=(fresh-root)
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
  cmake --preset "$1"
  cmake --build --preset "$1"
  ctest --preset "$1"
}

stage format scripts/check-format.sh
stage "debug build and tests" run_tests debug
stage "thread sanitizer build and tests" run_tests tsan
if [ "${FUZZ_SECONDS:-40}" != 0 ]; then
  stage fuzzing bash scripts/fuzz.sh
fi
stage "release build and tests" run_tests strict
stage "portable kernel build and tests" run_tests portable
stage packages bash scripts/test-packages.sh
if [ "$fresh_root" = yes ]; then
  stage "fresh machine" bash scripts/fresh-machine-test.sh
fi
for target in $cross_targets; do
  stage "$target build and tests" bash scripts/cross-test.sh "$target"
done
echo "== all passed in $SECONDS s"
