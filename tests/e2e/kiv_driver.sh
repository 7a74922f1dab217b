# shellcheck shell=bash
# Drives the real kiv program from an end-to-end test. Sourced by a test that
# runs inside `x_session.sh --tray`; a step that fails ends the test with a
# message on standard error.

# How long a test waits for anything kiv should do.
# shellcheck disable=SC2034 # read by the tests and kiv_windows.sh
readonly kiv_wait_seconds=20
# The main window's caption is "KIV" until the first clock tick turns it into
# "Kiv - " and the time.
readonly kiv_main_window_name='^(KIV|Kiv - .+)$'
kiv_pid=

fail() {
  echo "FAIL: $1" >&2
  exit 1
}

# startKiv PROGRAM LOG [ARG...]: starts kiv with its output in LOG.
startKiv() {
  local program=$1 log=$2
  shift 2
  "$program" "$@" >"$log" 2>&1 &
  kiv_pid=$!
}

# stopKiv: ends kiv if it still runs; safe to call more than once.
stopKiv() {
  [[ -n "$kiv_pid" ]] || return 0
  kill "$kiv_pid" 2>/dev/null || true
  local deadline=$((SECONDS + 5))
  while kill -0 "$kiv_pid" 2>/dev/null && ((SECONDS < deadline)); do
    sleep 0.1
  done
  kill -KILL "$kiv_pid" 2>/dev/null || true
  wait "$kiv_pid" 2>/dev/null || true
  kiv_pid=
}

requireKivRunning() {
  kill -0 "$kiv_pid" 2>/dev/null || fail "kiv ended unexpectedly"
}

# kivTrayIcon: the window of kiv's icon that the tray host has embedded.
kivTrayIcon() {
  local tray_tree window
  [[ -n "${KIV_E2E_TRAY_WINDOW:-}" ]] || return 1
  tray_tree=$(xwininfo -tree -id "$KIV_E2E_TRAY_WINDOW")
  for window in $(xdotool search --onlyvisible --pid "$kiv_pid" 2>/dev/null); do
    if grep -q "$(printf '0x%x ' "$window")" <<<"$tray_tree"; then
      echo "$window"
      return 0
    fi
  done
  return 1
}

# kivMainWindow: kiv's main window, when it is visible.
kivMainWindow() {
  xdotool search --onlyvisible --all --pid "$kiv_pid" --name "$kiv_main_window_name" 2>/dev/null |
    head -n 1 | grep .
}

# clickWindow WINDOW BUTTON: presses and releases BUTTON (1 left, 3 right)
# just inside the window's top-left corner.
clickWindow() {
  xdotool mousemove --window "$1" 4 4 click "$2"
}

# screenshotWindow WINDOW FILE: saves what WINDOW shows as a PNG.
screenshotWindow() {
  mkdir -p "$(dirname "$2")"
  import -window "$1" "png:$2"
}
