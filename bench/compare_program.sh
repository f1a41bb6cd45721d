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
fast="$(realpath "$build/quadrixel")"
reference="$(realpath "$build/bench/quadrixel_reference")"
[ -x "$fast" ] && [ -x "$reference" ] || {
  echo "build the bench preset first: cmake --preset bench && cmake --build --preset bench" >&2
  exit 1
}

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

# Runs program $1 once, output to $2; prints the wall-clock seconds.
run() {
  local start end
  start=$(date +%s.%N)
  (cd "$work" && "$1" < input > "$2")
  end=$(date +%s.%N)
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
           round, reference, fast, reference / fast }'
done
grep "determinant value" "$work/fast.out"
