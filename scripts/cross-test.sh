#!/usr/bin/env bash
# Builds Quadrixel and its tests for another platform and runs them under an
# emulator on this machine.
#
#   scripts/cross-test.sh TARGET
#
# TARGET is aarch64, armhf, i686, riscv64 or s390x (Linux, run under
# qemu-user) or windows (x86-64, MinGW-w64, run under wine). The toolchain files are
# cmake/toolchains/TARGET.cmake. GoogleTest is built for the target once,
# from Debian's sources, and kept in build/googletest-TARGET; the build goes
# to build/cross-TARGET. On Windows, where the tests that start the program
# by POSIX calls are not built, every transcript is run through wine twice,
# with an LF and a CRLF data file (and input), and the output must be the
# expected one with CRLF line ends, byte for byte.
#
# Every test has a time limit (CROSS_TEST_TIMEOUT seconds, default 300), so
# that a hang of the emulator fails the run instead of stalling it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

target=${1:-}
case $target in
  aarch64 | armhf | i686 | riscv64 | s390x | windows) ;;
  *) echo "usage: scripts/cross-test.sh aarch64|armhf|i686|riscv64|s390x|windows" >&2; exit 2 ;;
esac
timeout_seconds=${CROSS_TEST_TIMEOUT:-300}

scripts/install-deps.sh "cross-$target"
toolchain="$root/cmake/toolchains/$target.cmake"
build="$root/build/cross-$target"
googletest="$root/build/googletest-$target"
googletest_source=${GOOGLETEST_SOURCE:-/usr/src/googletest}

if [ "$target" = windows ]; then
  # A 64-bit prefix of the project's own, made on first use.
  export WINEPREFIX="$root/build/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi

echo "== $target: GoogleTest"
if [ ! -f "$googletest/built" ]; then
  rm -rf "$googletest"
  cmake -S "$googletest_source" -B "$googletest/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$googletest" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$googletest/build" >/dev/null
  cmake --install "$googletest/build" >/dev/null
  touch "$googletest/built"
fi

echo "== $target: build"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$googletest" -DQUADRIXEL_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build"

if [ "$target" = windows ]; then
  # One wine server for the whole run: left to itself it ends a few seconds
  # after its last program, and a test starting just then loses its
  # connection. The prefix is made (or brought up to date) here, before the
  # tests, whose time limits would not allow for it.
  wineserver -p
  timeout "$timeout_seconds" wine cmd.exe /c ver >/dev/null 2>&1 || true
fi

echo "== $target: tests"
# The input sweep runs natively in the main suite; under emulation it would
# only repeat that at great cost.
ctest --test-dir "$build" --output-on-failure -j 2 --timeout "$timeout_seconds" -E '^sweep/'

[ "$target" = windows ] || exit 0

echo "== windows: transcripts through wine, LF and CRLF"
# Writes file $1 to standard output with every LF turned into CRLF.
crlf() { perl -pe 's/\n/\r\n/g' "$1"; }
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
failed=0
passed=0
for case in tests/app/transcripts/*/; do
  name=$(basename "$case")
  for ends in lf crlf; do
    run="$work/$name-$ends"
    mkdir -p "$run"
    if [ "$ends" = lf ]; then
      cp "$case/input" "$run/input"
      [ ! -e "$case/MatrixDataFile2.txt" ] || cp "$case/MatrixDataFile2.txt" "$run/"
    else
      crlf "$case/input" > "$run/input"
      [ ! -e "$case/MatrixDataFile2.txt" ] || crlf "$case/MatrixDataFile2.txt" > "$run/MatrixDataFile2.txt"
    fi
    crlf "$case/expected" > "$run/expected"
    status=0
    (cd "$run" && timeout "$timeout_seconds" wine "$build/quadrixel.exe" < input > actual 2> errors) ||
      status=$?
    if [ "$status" -ne 0 ] || ! cmp -s "$run/expected" "$run/actual"; then
      echo "FAILED: $name with $ends line ends (exit status $status)" >&2
      diff <(od -c "$run/expected") <(od -c "$run/actual") | head -n 20 >&2 || true
      failed=$((failed + 1))
    else
      passed=$((passed + 1))
    fi
  done
done
echo "$passed transcript runs passed, $failed failed"
[ "$failed" -eq 0 ]

echo "== windows: the zip, unpacked as a user does"
cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/zip" >/dev/null
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$work"/zip/quadrixel-*-win64.zip)
unpacked=$(echo "$work"/unpacked/quadrixel-*-win64)
sample=tests/app/transcripts/sample-file-3x3
crlf "$sample/expected" > "$work/sample-expected"
(cd "$unpacked" && timeout "$timeout_seconds" wine ./quadrixel.exe < "$root/$sample/input" \
  > "$work/sample-actual" 2>/dev/null)
cmp "$work/sample-expected" "$work/sample-actual"
grep -q $'\r$' "$unpacked/README.txt"
echo "the zip's program reads its own sample data file as the transcript says"
