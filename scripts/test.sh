#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite and
# every check the code is held to. The exit status is 0 only when all pass.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh run test win32 habits package package-check
status=0
# Each step says when it starts, in seconds since the run began, so a slow
# run shows where its time went.
step() {
  echo "== [${SECONDS}s] $*"
  "$@" || status=1
}

# The test suites spend much of their time waiting on programs and timers,
# and the fuzzer keeps only one core busy. The builds and checks that only
# need the processor run behind them at the lowest priority: the scheduler
# gives them what the tests leave idle, and the tests get the processor as
# soon as they want it. What runs behind writes to a log that is shown, whole,
# once the tests in front are done.
behind_pid=""
behind_log=""
behind() {
  behind_log=$1
  shift
  set -m # a process group of its own, which an interrupted run ends too
  (
    renice -n 19 -p "$BASHPID" >/dev/null
    status=0
    started=$SECONDS
    "$@"
    echo "== (behind, done after $((SECONDS - started))s)"
    exit "$status"
  ) </dev/null >"$behind_log" 2>&1 &
  behind_pid=$!
  set +m
}
catch_up() {
  local behind_status=0
  wait "$behind_pid" || behind_status=$?
  behind_pid=""
  echo "== [${SECONDS}s] caught up with the builds behind"
  cat "$behind_log"
  ((behind_status == 0)) || status=1
}
trap '[[ -z "$behind_pid" ]] || kill -- "-$behind_pid" 2>/dev/null || true' EXIT

# Formatting first: it is the quickest to fail.
step bash scripts/check_format.sh

echo "== [${SECONDS}s] building the default preset"
cmake --preset default -DKIV_BUILD_TESTS=ON
cmake --build --preset default -j2

# The core, POSIX and kivctl suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer (any report fails the test): built, after
# clang-tidy, while the default suites run.
asan_build() {
  step bash scripts/check_tidy.sh build/default
  echo "== [${SECONDS}s] building the asan preset"
  cmake --preset asan && cmake --build --preset asan -j2 || status=1
}
behind build/asan-build.log asan_build
step ctest --preset default -j2
catch_up

# The fuzzer, built while the asan suites run.
behind build/fuzz-build.log step bash fuzz/run_fuzzer.sh --build
step ctest --preset asan -j2
catch_up

# The Windows program Kiv.exe, cross-built with mingw-w64 while the fuzzer,
# which keeps one core busy, runs, then tested under Wine. kivctl.exe is held
# against the kivctl of the default build above, which the win32 build keeps
# up to date, rather than against a build of its own.
win32_build() {
  echo "== [${SECONDS}s] building the win32 preset"
  cmake --preset win32 -DKIV_LINUX_BUILD_DIR="$PWD/build/default" &&
    step cmake --build --preset win32 -j2 || status=1
}
behind build/win32-build.log win32_build
# The schedule reader under libFuzzer for a minute, from the seed corpus.
step bash fuzz/run_fuzzer.sh 60
catch_up
step bash tests/win32/run_wine_tests.sh
echo "== [${SECONDS}s] finished"
exit "$status"
