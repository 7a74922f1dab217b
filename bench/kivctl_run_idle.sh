#!/usr/bin/env bash
# "kivctl run" idling on 30 compiled tasks: its resident memory and the CPU
# it uses. Goals: resident memory at most 8 MB, CPU at most 0.05 % of one core.
#
# Usage: bench/kivctl_run_idle.sh [BUILD_DIR] [SECONDS]
#   BUILD_DIR  a build with the benchmarks (default build/default)
#   SECONDS    how long to watch it idle (default 60)
# Prints the figures and exits 1 when a goal is missed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/idle_usage.sh"

build=${1:-build/default}
seconds=${2:-60}
kivctl=$build/tools/kivctl/kivctl
writer=$build/bench/kivctl_bench_schedule
for program in "$kivctl" "$writer"; do
  [[ -x $program ]] || { echo "kivctl_run_idle: $program is not built" >&2; exit 2; }
done

work=$(mktemp -d)
pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The tasks launch at a minute half an hour away, so none is due meanwhile.
"$writer" "$work/idle.kiv"
"$kivctl" run "$work/idle.kiv" >"$work/out" 2>"$work/err" &
pid=$!
until grep -q 'until SIGINT or SIGTERM' "$work/err"; do
  kill -0 "$pid" 2>/dev/null || { cat "$work/err" >&2; exit 1; }
  sleep 0.1
done

measure_idle "$pid" "$seconds"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=

awk -v ticks="$idle_ticks" -v ns="$idle_cpu_ns" -v cpu="$idle_cpu_percent" -v seconds="$seconds" \
    -v rss="$idle_rss_kb" -v peak="$idle_peak_kb" -v status="$status" -v launches="$(wc -l <"$work/out")" '
BEGIN {
  printf "kivctl run, 30 compiled tasks, %d s idle\n", seconds
  printf "  resident memory  %.2f MB (peak %.2f MB)   goal <= 8 MB\n", rss / 1024, peak / 1024
  printf "  CPU              %.4f %% of one core (%d clock ticks; %.1f ms on the CPU)   goal <= 0.05 %%\n",
         cpu, ticks, ns / 1e6
  printf "  launches         %d   exit status after SIGTERM %d\n", launches, status
  exit (peak / 1024 <= 8 && cpu <= 0.05 && status == 0 && launches == 0) ? 0 : 1
}'
