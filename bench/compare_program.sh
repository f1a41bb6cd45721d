#!/usr/bin/env bash
# Times whole runs of the program on one 11 x 11 matrix picked from the data
# file (determinant and adjoint): the program as built beside quadrixel_reference,
# the same program with the step-by-step walk in one thread. The two run in
# turn, twice over, so that both meet the same load on the machine; their
# outputs must be identical.
#
#   bench/compare_program.sh [build directory, default build/bench]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
[ -x "$build/quadrixel" ] && [ -x "$build/bench/quadrixel_reference" ] || {
  echo "build the bench preset first: cmake --preset bench && cmake --build --preset bench" >&2
  exit 1
}
# Absolute paths: the programs run in the work directory, beside the data file.
fast="$(cd "$build" && pwd)/quadrixel"
reference="$(cd "$build/bench" && pwd)/quadrixel_reference"

# Determinant -725386; every cofactor fits in 32 bits.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'F\n1\n\n' > "$work/input"
cat > "$work/MatrixDataFile2.txt" <<'DATA'
An 11 by 11 matrix:
[M1111
1 1 -2 0 2 1 1 0 1 0 2
-1 2 -1 0 -1 -2 2 0 2 2 -1
0 -2 -2 0 1 2 -2 0 1 0 2
-1 2 1 1 2 0 -2 2 -2 -2 1
-2 2 1 0 -1 0 -2 -1 2 -1 -1
-1 2 1 -2 -2 0 2 1 -2 0 2
0 -2 2 0 2 -1 2 2 2 0 1
-2 2 1 0 2 -1 0 -1 -1 -1 -2
2 0 1 -2 -2 -1 -1 -2 -2 2 1
2 0 2 -1 -1 2 1 2 0 1 1
0 -2 0 2 -2 1 2 0 -1 -1 -2]
DATA

# Prints the wall-clock time in seconds, with a fraction: bash's own clock
# where it has one (5.0 and later), else perl's or python's, else date's
# whole seconds.
now() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    echo "${EPOCHREALTIME/,/.}"
  elif command -v perl >/dev/null; then
    perl -MTime::HiRes=time -e 'printf "%.6f\n", time'
  elif command -v python3 >/dev/null; then
    python3 -c 'import time; print("%.6f" % time.time())'
  else
    date +%s
  fi
}

# Runs program $1 once, output to $2; prints the wall-clock seconds.
run() {
  local start end
  start=$(now)
  (cd "$work" && "$1" < input > "$2")
  end=$(now)
  awk -v start="$start" -v end="$end" 'BEGIN { printf "%.6f", end - start }'
}

for round in 1 2; do
  reference_seconds=$(run "$reference" "$work/reference.out")
  fast_seconds=$(run "$fast" "$work/fast.out")
  cmp -s "$work/reference.out" "$work/fast.out" || {
    echo "the two programs printed different reports" >&2
    diff "$work/reference.out" "$work/fast.out" >&2
    exit 1
  }
  awk -v round="$round" -v reference="$reference_seconds" -v fast="$fast_seconds" 'BEGIN {
    printf "round %d: reference %.3f s, program %.3f s, %.1f times faster\n",
           round, reference, fast, reference / (fast > 0 ? fast : 1e-6) }'
done
grep "determinant value" "$work/fast.out"
