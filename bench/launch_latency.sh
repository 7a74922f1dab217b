#!/usr/bin/env bash
# Launch latency of "kivctl run" and of the window program kiv, each against a
# bare posix_spawn in the same minutes (see bench/launch_latency.cpp for what
# is measured and the goals, which hold on an idle machine).
#
# Usage: bench/launch_latency.sh [BUILD_DIR] [--load] [--offscreen] [--launches N] [--only PROGRAM]
#   BUILD_DIR    a build with the programs and the benchmarks (default build/default)
#   --load       measure while "make -j2" compiles the core in a scratch build
#                all along; the figures are reported, the goals not judged
#   --offscreen  kiv on Qt's offscreen platform (its window shown) instead of
#                a private X session where it hides in the tray
#   --launches   launches of each program, 1 to 30 (default 30)
#   --only       measure one program only: kivctl or kiv
# Exits 1 when a goal is missed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=build/default
load=false offscreen=false launches=30 only=
while (($# > 0)); do
  case "$1" in
    --load) load=true ;;
    --offscreen) offscreen=true ;;
    --launches) launches=$2; shift ;;
    --only) only=$2; shift ;;
    -*) echo "launch_latency.sh: unknown option $1" >&2; exit 2 ;;
    *) build=$1 ;;
  esac
  shift
done
[[ -z $only || $only == kivctl || $only == kiv ]] ||
  { echo "launch_latency.sh: --only takes kivctl or kiv" >&2; exit 2; }
build=$(cd "$build" && pwd)
args=("$build" --launches "$launches")
[[ -n $only ]] && args+=(--only "$only")
$load && args+=(--load)

if $offscreen; then
  export QT_QPA_PLATFORM=offscreen
elif [[ -z ${KIV_E2E_DIR:-} ]]; then
  exec bash "$here/../tests/e2e/x_session.sh" --tray -- bash "$here/launch_latency.sh" "${args[@]}"
fi

for program in bench/kiv_launch_latency bench/kiv_first_instruction_stand_in \
  tools/kivctl/kivctl platform/qt/kiv; do
  [[ -x $build/$program ]] || { echo "launch_latency.sh: $build/$program is not built" >&2; exit 2; }
done

goals=()
load_group=
work=$(mktemp -d)
cleanup() {
  [[ -n $load_group ]] && kill -TERM -- "-$load_group" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if $load; then
  # Two compilers at all times: the core built again and again from scratch,
  # without the compiler cache.
  cmake -S "$here/.." -B "$work/load" -DKIV_BUILD_QT=OFF -DKIV_BUILD_TESTS=OFF \
    -DKIV_BUILD_BENCHMARKS=OFF >/dev/null
  setsid bash -c "while :; do CCACHE_DISABLE=1 make -C '$work/load' -j2 kivcore >/dev/null 2>&1; \
    make -C '$work/load' clean >/dev/null 2>&1; done" &
  load_group=$!
  sleep 5
  goals=(--no-goals)
  echo "with make -j2 compiling all along"
else
  echo "idle (load average $(cut -d' ' -f1-3 /proc/loadavg))"
fi

programs=()
[[ $only != kiv ]] && programs+=(--kivctl "$build/tools/kivctl/kivctl")
[[ $only != kivctl ]] && programs+=(--kiv "$build/platform/qt/kiv")
"$build/bench/kiv_launch_latency" --stand-in "$build/bench/kiv_first_instruction_stand_in" \
  "${programs[@]}" --launches "$launches" "${goals[@]}"
