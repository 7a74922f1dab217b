#!/usr/bin/env bash
# Builds Kiv.exe and its tests with the "win32" preset (mingw-w64, i686) and
# runs them under Wine, in a fresh Wine prefix, inside a private X session
# with a notification-area host. Installs nothing: scripts/install-deps.sh
# does that (set "win32"). Arguments go to ctest.
#
#   bash tests/win32/run_wine_tests.sh [CTEST ARG...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
readonly prefix=$PWD/build/win32/wine-prefix

if [[ "${1:-}" == --in-session ]]; then
  shift
  status=0
  ctest --preset win32 -j2 "$@" || status=$?
  # Wine's desktop process belongs to this session's display: it goes with it.
  WINEPREFIX=$prefix wineserver --kill || true
  exit "$status"
fi

cmake --preset win32
cmake --build --preset win32 -j2

# Debian's Wine runs 32-bit Windows programs as 32-bit Linux processes. Some
# kernels and sandboxes refuse to execute 32-bit programs at all ("Exec format
# error", status 126); there the programs are built but cannot be run.
loader_status=0
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || loader_status=$?
if ((loader_status == 126)); then
  echo "SKIPPED: this system does not execute 32-bit programs, so Wine cannot run" \
    "Kiv.exe and its tests; they were built, not run, and only the checks of the" \
    "programs' files run" >&2
  exec ctest --preset win32 -j2 -L without_wine "$@"
fi
# Nothing an earlier run left in the prefix counts.
cmake/wine_emulator.sh "$prefix" --fresh
exec bash tests/e2e/x_session.sh --tray -- bash "${BASH_SOURCE[0]}" --in-session "$@"
