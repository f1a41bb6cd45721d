#!/usr/bin/env bash
# Builds the fuzz targets (Clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time. Fails on any
# crash, timeout, leak or sanitizer report; the input that found it is left
# in build/fuzz/run/<target>/artifacts.
#
# Each run starts from three corpora: the saved corpus fuzz/corpus/<target>,
# the inputs that once found a fault, fuzz/regressions/<target>, and seeds
# made afresh from the transcript cases. New inputs go to a working corpus
# under build/fuzz/run, never into the source tree.
#
# FUZZ_SECONDS sets the time per target (default 40; 0 fuzzes nothing and
# ends at once); FUZZ_TARGETS the targets to run (default all three).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${FUZZ_SECONDS:-40}
# libFuzzer takes a total time of 0 as no limit at all.
if [ "$seconds" = 0 ]; then
  echo "FUZZ_SECONDS=0: no fuzzing"
  exit 0
fi
targets=${FUZZ_TARGETS:-"keyboard_entry data_file_reader dialogue"}
separator=$'\n--- MatrixDataFile2.txt ---\n'

# Writes the seeds of target $1 into directory $2, one per transcript case:
# the dialogue takes the case's input and data file whole; the keyboard
# entry and the data file reader take the input after the menu answer.
make_seeds() {
  local target=$1 dir=$2 case seed answer skip
  mkdir -p "$dir"
  for case in tests/app/transcripts/*/; do
    seed="$dir/$(basename "$case")"
    # Files, not shell variables, carry the bytes: an input may hold a zero.
    answer=$(head -c 1 "$case/input" | tr -d '\0')
    case $target in
      dialogue) skip=0 ;;
      keyboard_entry) [[ $answer == [Kk] ]] || continue; skip=2 ;;
      data_file_reader) [[ $answer == [Ff] ]] || continue; skip=2 ;;
    esac
    {
      tail -c +$((skip + 1)) "$case/input"
      if [ "$target" != keyboard_entry ] && [ -f "$case/MatrixDataFile2.txt" ]; then
        printf '%s' "$separator"
        cat "$case/MatrixDataFile2.txt"
      fi
    } > "$seed"
    [ -s "$seed" ] || rm "$seed"
  done
  return 0
}

scripts/install-deps.sh fuzz
cmake --preset fuzz
cmake --build --preset fuzz

status=0
for target in $targets; do
  run="$root/build/fuzz/run/$target"
  rm -rf "$run/seeds" "$run/artifacts"
  mkdir -p "$run/work" "$run/artifacts" "fuzz/corpus/$target" "fuzz/regressions/$target"
  make_seeds "$target" "$run/seeds"
  echo "== fuzzing $target for $seconds s"
  if ! "$root/build/fuzz/fuzz/${target}_fuzz" \
      -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -detect_leaks=1 \
      -dict="$root/fuzz/fuzz.dict" -print_final_stats=1 -artifact_prefix="$run/artifacts/" \
      "$run/work" "$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target" \
      "$run/seeds" > "$run/log" 2>&1; then
    tail -n 60 "$run/log"
    echo "FAILED: $target; the input is in $run/artifacts" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$run/log" || true
  fi
done
exit $status
