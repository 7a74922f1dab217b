#!/usr/bin/env bash
# Fails when a C++ file differs from the repository's .clang-format, and names
# it. Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The fixtures are inputs to the include check, kept exactly as written.
mapfile -t files < <(find src platform tools tests bench fuzz \
  -path tests/fixtures -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format wants them"
