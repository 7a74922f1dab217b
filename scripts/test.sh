#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite. The
# exit status is the test run's.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh run test win32 package package-check
cmake --preset default -DKIV_BUILD_TESTS=ON
cmake --build --preset default -j2
status=0
ctest --preset default -j2 || status=$?
# The Windows program Kiv.exe, cross-built with mingw-w64 and tested under Wine.
bash tests/win32/run_wine_tests.sh || status=$?
exit "$status"
