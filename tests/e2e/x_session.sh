#!/usr/bin/env bash
# Runs one command inside a private X session and ends the session with it.
#
#   bash tests/e2e/x_session.sh [--tray] [--] COMMAND [ARG...]
#
# The session is an Xvfb server (1024x768, 24-bit) on the first free display
# number and, with --tray, trayer as the notification-area host. COMMAND runs
# with DISPLAY set to that server and with its own runtime, settings and cache
# folders, so a test neither needs a desktop nor touches the user's settings.
# It also gets:
#   KIV_E2E_DIR           a scratch folder that is removed afterwards
#   KIV_E2E_TRAY_WINDOW   the tray host's window (only with --tray)
# The exit status is COMMAND's. Whatever the session started is stopped on
# the way out, also when the session is interrupted.
set -euo pipefail

readonly start_timeout_seconds=10

with_tray=false
while (($# > 0)); do
  case "$1" in
    --tray) with_tray=true; shift ;;
    --) shift; break ;;
    -*) echo "x_session.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if (($# == 0)); then
  echo "usage: x_session.sh [--tray] [--] COMMAND [ARG...]" >&2
  exit 2
fi

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/kiv-x-session.XXXXXX")
started_pids=()

# shellcheck disable=SC2317 # run by the EXIT trap
stopSession() {
  local i pid
  # Newest first: the command, then the tray host, then the X server.
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    pid=${started_pids[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$session_dir"
}
trap stopSession EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "x_session.sh: $1" >&2
  local log
  for log in "$session_dir"/*.log; do
    [[ -s "$log" ]] && { echo "--- ${log##*/}" >&2; cat "$log" >&2; }
  done
  exit 1
}

# waitFor PID WHAT CHECK...: waits until the command CHECK succeeds, for at
# most start_timeout_seconds, and gives up early when the process PID ends.
waitFor() {
  local pid=$1 what=$2
  shift 2
  local deadline=$((SECONDS + start_timeout_seconds))
  until "$@" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || fail "$what ended while starting"
    ((SECONDS < deadline)) || fail "$what did not start within ${start_timeout_seconds} s"
    sleep 0.1
  done
}

# xvfbReady PID: waits until the server PID writes its display number and
# answers on it; fails when it ends first or takes too long.
xvfbReady() {
  local pid=$1 deadline=$((SECONDS + start_timeout_seconds))
  until grep -q '^[0-9][0-9]*$' "$session_dir/display" 2>/dev/null &&
    DISPLAY=":$(<"$session_dir/display")" xdpyinfo >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || return 1
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

startXServer() {
  # Each session takes a display number of its own at random from a wide
  # range rather than the lowest free one: a server that is just ending
  # removes its socket by name, and would take it from a new server that had
  # reused its number at once. -noreset keeps the server from resetting when
  # the readiness check, its first client, disconnects.
  local attempt pid display
  for attempt in 1 2 3 4 5 6 7 8; do
    display=$((RANDOM % 900 + 100))
    [[ -e /tmp/.X$display-lock ]] && continue
    rm -f "$session_dir/display"
    Xvfb ":$display" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
      3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
    pid=$!
    if xvfbReady "$pid"; then
      started_pids+=("$pid")
      export DISPLAY=":$display"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  fail "Xvfb could not get a display of its own"
}

startTrayHost() {
  trayer --edge top --align right --widthtype request --height 24 \
    >"$session_dir/trayer.log" 2>&1 &
  local pid=$!
  started_pids+=("$pid")
  # Its window appears once it is the notification-area host.
  waitFor "$pid" "trayer" xdotool search --onlyvisible --pid "$pid"
  KIV_E2E_TRAY_WINDOW=$(xdotool search --onlyvisible --pid "$pid" | head -n 1)
  export KIV_E2E_TRAY_WINDOW
}

isolateEnvironment() {
  export KIV_E2E_DIR="$session_dir/scratch"
  export XDG_RUNTIME_DIR="$session_dir/runtime"
  export XDG_CONFIG_HOME="$session_dir/config"
  export XDG_CACHE_HOME="$session_dir/cache"
  export XDG_DATA_HOME="$session_dir/data"
  export XDG_STATE_HOME="$session_dir/state"
  mkdir -p "$KIV_E2E_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # The session is X11 whatever the caller's desktop is.
  unset WAYLAND_DISPLAY XAUTHORITY
  export QT_QPA_PLATFORM=xcb
}

isolateEnvironment
startXServer
if $with_tray; then
  startTrayHost
fi

# In the background, so that an interrupt reaches the trap at once.
"$@" &
command_pid=$!
started_pids+=("$command_pid")
set +e
wait "$command_pid"
status=$?
set -e
exit "$status"
