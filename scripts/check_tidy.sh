#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the core, the POSIX
# starter and kivctl, using the compile commands of a configured build
# (default: build/default). Any warning fails.
#
#   bash scripts/check_tidy.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build/default}"

run-clang-tidy -p "$build" -quiet -j "$(nproc)" "$PWD/(src|platform/posix|tools)/" \
  > "$build/clang-tidy.log" 2>&1 || {
  sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E 'warning:|error:' | sort -u >&2
  echo "clang-tidy: the warnings above (full log: $build/clang-tidy.log)" >&2
  exit 1
}
echo "clang-tidy: no warnings"
