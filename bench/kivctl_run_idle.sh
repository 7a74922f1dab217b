#!/usr/bin/env bash
# "kivctl run" idling on 30 compiled tasks: its resident memory and the CPU
# it uses. Goals: resident memory at most 8 MB, CPU at most 0.05 % of one core.
#
# Usage: bench/kivctl_run_idle.sh [BUILD_DIR] [SECONDS]
#   BUILD_DIR  a build with the benchmarks (default build/default)
#   SECONDS    how long to watch it idle (default 60)
# Prints the figures and exits 1 when a goal is missed.
set -euo pipefail

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

# CPU time so far: clock ticks of user and system time (fields 14 and 15 of
# /proc/PID/stat), and nanoseconds on the CPU from schedstat where the kernel
# keeps it, which is finer than a tick.
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
nanoseconds() { [[ -r /proc/$pid/schedstat ]] && awk '{ print $1 }' "/proc/$pid/schedstat" || echo 0; }

ticks_before=$(ticks)
ns_before=$(nanoseconds)
sleep "$seconds"
ticks_after=$(ticks)
ns_after=$(nanoseconds)
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=

awk -v ticks=$((ticks_after - ticks_before)) -v hz="$(getconf CLK_TCK)" \
    -v ns=$((ns_after - ns_before)) -v seconds="$seconds" \
    -v rss="$rss_kb" -v peak="$peak_kb" -v status="$status" -v launches="$(wc -l <"$work/out")" '
BEGIN {
  cpu_ticks = 100 * ticks / hz / seconds
  cpu_ns = 100 * ns / 1e9 / seconds
  cpu = ns > 0 ? cpu_ns : cpu_ticks
  printf "kivctl run, 30 compiled tasks, %d s idle\n", seconds
  printf "  resident memory  %.2f MB (peak %.2f MB)   goal <= 8 MB\n", rss / 1024, peak / 1024
  printf "  CPU              %.4f %% of one core (%d clock ticks; %.1f ms on the CPU)   goal <= 0.05 %%\n",
         cpu, ticks, ns / 1e6
  printf "  launches         %d   exit status after SIGTERM %d\n", launches, status
  exit (peak / 1024 <= 8 && cpu <= 0.05 && status == 0 && launches == 0) ? 0 : 1
}'
