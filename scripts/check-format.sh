#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format makes
# of it under .clang-format; lists the files that do. With --fix, rewrites
# them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

format=${CLANG_FORMAT:-clang-format}
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  "$format" -i "${sources[@]}"
  exit 0
fi
if ! "$format" --dry-run --Werror "${sources[@]}" 2>/dev/null; then
  "$format" --dry-run "${sources[@]}" 2>&1 | grep -oE '^[^ :]+:[0-9]+:[0-9]+: (warning|error)' | cut -d: -f1 | sort -u | sed 's/^/needs formatting: /' >&2
  echo "run scripts/check-format.sh --fix" >&2
  exit 1
fi
