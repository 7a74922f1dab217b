#!/usr/bin/env bash
# When the notification area goes away and comes back (the panel restarts),
# kiv's icon comes back with it while kiv runs on.
#
#   bash tests/e2e/x_session.sh --tray -- bash tests/e2e/tray_restart_test.sh KIV ARTIFACTS
set -euo pipefail
(($# == 2)) || { echo "usage: tray_restart_test.sh KIV ARTIFACTS" >&2; exit 2; }
kiv=$1 artifacts=$2
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/e2e/kiv_driver.sh
source "$here/kiv_driver.sh"
# shellcheck source=tests/e2e/kiv_windows.sh
source "$here/kiv_windows.sh"
new_tray_pid=
# shellcheck disable=SC2317 # run by the EXIT trap
cleanUp() {
  stopKiv
  [[ -z "$new_tray_pid" ]] || { kill "$new_tray_pid" 2>/dev/null || true; wait "$new_tray_pid" 2>/dev/null || true; }
}
trap cleanUp EXIT
mkdir -p "$artifacts"

startKiv "$kiv" "$artifacts/kiv-tray-restart.log"
waitForTrayIcon >/dev/null

# The session's tray host goes; a new one takes its place.
old_tray_pid=$(xdotool getwindowpid "$KIV_E2E_TRAY_WINDOW")
kill "$old_tray_pid"
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
new_tray_pid=$!
deadline=$((SECONDS + kiv_wait_seconds))
until KIV_E2E_TRAY_WINDOW=$(xdotool search --onlyvisible --pid "$new_tray_pid" 2>/dev/null | head -n 1) &&
  [[ -n "$KIV_E2E_TRAY_WINDOW" ]]; do
  ((SECONDS < deadline)) || fail "the new tray host did not start"
  sleep 0.1
done

waitForTrayIcon >/dev/null
requireKivRunning
echo "kiv's icon came back in the new notification area"
