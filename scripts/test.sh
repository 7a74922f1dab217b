#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite and
# every check the code is held to. The exit status is 0 only when all pass.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh run test win32 habits package package-check
status=0
step() {
  echo "== $*"
  "$@" || status=1
}

# Formatting first: it is the quickest to fail.
step bash scripts/check_format.sh

cmake --preset default -DKIV_BUILD_TESTS=ON
cmake --build --preset default -j2
step ctest --preset default -j2
step bash scripts/check_tidy.sh build/default

# The core, POSIX and kivctl suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer: any report fails the test.
cmake --preset asan
cmake --build --preset asan -j2
step ctest --preset asan -j2

# The schedule reader under libFuzzer for a minute, from the seed corpus.
step bash fuzz/run_fuzzer.sh 60

# The Windows program Kiv.exe, cross-built with mingw-w64 and tested under Wine.
# kivctl.exe is held against the kivctl of the default build above, which the
# win32 build keeps up to date, rather than against a build of its own.
cmake --preset win32 -DKIV_LINUX_BUILD_DIR="$PWD/build/default"
step bash tests/win32/run_wine_tests.sh
exit "$status"
