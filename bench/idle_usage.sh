# Sourced by the idle benchmarks: what a running process uses while idle.
#
#   measure_idle PID SECONDS
# watches PID for SECONDS and sets
#   idle_rss_kb, idle_peak_kb   resident memory now and at its peak (kB)
#   idle_ticks                  clock ticks of user and system time spent
#   idle_cpu_ns                 nanoseconds on the CPU (0 where the kernel keeps no schedstat)
#   idle_cpu_percent            CPU used, in per cent of one core
# CPU comes from /proc/PID/schedstat where the kernel keeps it (finer than a
# tick), else from fields 14 and 15 of /proc/PID/stat.

measure_idle() {
  local pid=$1 seconds=$2
  local ticks_before ns_before
  ticks_before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  ns_before=$(_idle_nanoseconds "$pid")
  sleep "$seconds"
  idle_ticks=$(($(awk '{ print $14 + $15 }' "/proc/$pid/stat") - ticks_before))
  idle_cpu_ns=$(($(_idle_nanoseconds "$pid") - ns_before))
  idle_rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  idle_peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
  idle_cpu_percent=$(awk -v ticks="$idle_ticks" -v hz="$(getconf CLK_TCK)" -v ns="$idle_cpu_ns" \
    -v seconds="$seconds" 'BEGIN { printf "%.4f", (ns > 0 ? 100 * ns / 1e9 / seconds : 100 * ticks / hz / seconds) }')
}

_idle_nanoseconds() {
  if [[ -r /proc/$1/schedstat ]]; then awk '{ print $1 }' "/proc/$1/schedstat"; else echo 0; fi
}
