#!/usr/bin/env bash
# Installs what is missing, builds Kiv and starts it. Arguments go to the
# program, e.g.  bash scripts/run.sh /o nightly.kiv
set -euo pipefail
caller_dir=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh run
# The test suites need packages of their own; scripts/test.sh turns them on.
cmake --preset default -DKIV_BUILD_TESTS=OFF
cmake --build --preset default --target kiv -j2
program=$PWD/build/default/platform/qt/kiv

# From the caller's folder, so that a relative schedule path means what the
# caller typed.
cd "$caller_dir"
exec "$program" "$@"
