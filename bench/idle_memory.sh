#!/usr/bin/env bash
# Idle memory of the window program against a bare Qt program in the
# notification area with a one-second timer (bench/bare_tray.cpp): resident
# memory and proportional set size (PSS) of each once it has settled. Goal:
# kiv within 3 MB of the bare program in both.
#
# Usage: bench/idle_memory.sh [BUILD_DIR] [SECONDS]
#   BUILD_DIR  a build with the Qt program and the benchmarks (default build/default)
#   SECONDS    how long each program settles before it is measured (default 10)
# Runs in a private X session with a tray host; the two programs run one after
# the other, so that neither shares the other's pages. Exits 1 when the goal is
# missed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:-build/default}" && pwd)
seconds=${2:-10}
readonly goal_kb=3072

if [[ -z ${KIV_E2E_DIR:-} ]]; then
  exec bash "$here/../tests/e2e/x_session.sh" --tray -- bash "$here/idle_memory.sh" "$build" "$seconds"
fi

# settled_memory COMMAND...: starts COMMAND, lets it settle and sets
# rss_kb and pss_kb to what it then holds.
settled_memory() {
  "$@" &
  local pid=$!
  sleep "$seconds"
  kill -0 "$pid" || { echo "idle_memory.sh: $1 ended while settling" >&2; exit 2; }
  rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  pss_kb=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

settled_memory "$build/bench/kiv_bare_tray"
bare_rss=$rss_kb bare_pss=$pss_kb

# The idle schedule of bench/kiv_idle.sh: 30 compiled tasks, none due meanwhile.
"$build/bench/kivctl_bench_schedule" "$KIV_E2E_DIR/idle.kiv"
settled_memory "$build/platform/qt/kiv" /o "$KIV_E2E_DIR/idle.kiv"
kiv_rss=$rss_kb kiv_pss=$pss_kb

printf 'Idle memory after %d s, in kB     resident    PSS\n' "$seconds"
printf '  bare Qt tray program, 1 s timer  %8d %8d\n' "$bare_rss" "$bare_pss"
printf '  kiv, 30 compiled tasks           %8d %8d\n' "$kiv_rss" "$kiv_pss"
printf '  difference                       %8d %8d   goal <= %d each\n' \
  "$((kiv_rss - bare_rss))" "$((kiv_pss - bare_pss))" "$goal_kb"
((kiv_rss - bare_rss <= goal_kb && kiv_pss - bare_pss <= goal_kb))
