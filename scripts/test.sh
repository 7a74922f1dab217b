#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite. The
# exit status is the test run's.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh run test
cmake --preset default -DKIV_BUILD_TESTS=ON
cmake --build --preset default -j2
exec ctest --preset default -j2
