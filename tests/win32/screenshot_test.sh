#!/usr/bin/env bash
# Kiv.exe under Wine, brought up the way a user does it: a left click on its
# icon in the notification area. Keeps a screenshot of the window for a person
# to look at.
#
#   bash screenshot_test.sh SCREENSHOT -- EMULATOR... KIV_EXE
#
# Runs inside an X session with a notification-area host (the one that
# tests/win32/run_wine_tests.sh starts: tests/e2e/x_session.sh --tray).
set -euo pipefail
if (($# < 4)) || [[ "$2" != -- ]]; then
  echo "usage: screenshot_test.sh SCREENSHOT -- EMULATOR... KIV_EXE" >&2
  exit 2
fi
screenshot=$1
shift 2
readonly wait_seconds=30

fail() {
  echo "screenshot_test.sh: $1" >&2
  exit 1
}
[[ -n "${DISPLAY:-}" && -n "${KIV_E2E_TRAY_WINDOW:-}" ]] ||
  fail "needs an X display with a notification-area host (run it through tests/win32/run_wine_tests.sh)"

# waitFor WHAT COMMAND...: until COMMAND succeeds, for at most wait_seconds.
waitFor() {
  local what=$1 deadline=$((SECONDS + wait_seconds))
  shift
  until "$@" >/dev/null 2>&1; do
    kill -0 "$kiv_pid" 2>/dev/null || fail "Kiv.exe ended while waiting for $what"
    ((SECONDS < deadline)) || fail "no $what within ${wait_seconds} s"
    sleep 0.2
  done
}

# Wine docks the icon into the host's panel as a window of its own.
iconDocked() {
  xwininfo -tree -id "$KIV_E2E_TRAY_WINDOW" | grep -q '"explorer.exe"'
}

mkdir -p "$(dirname "$screenshot")"
rm -f "$screenshot"
"$@" &
kiv_pid=$!
trap 'kill "$kiv_pid" 2>/dev/null || true' EXIT

waitFor "icon in the notification area" iconDocked
xdotool mousemove --window "$KIV_E2E_TRAY_WINDOW" 10 10 click 1
waitFor "window shown" xdotool search --onlyvisible --name '^Kiv'
window=$(xdotool search --onlyvisible --name '^Kiv' | head -n 1)
# Drawn: the controls come after the frame.
sleep 1
import -window "$window" "$screenshot"

read -r format width height colours < <(identify -format '%m %w %h %k\n' "$screenshot")
[[ "$format" == PNG ]] || fail "the screenshot is $format, not PNG"
# An unpainted window comes out as a single colour.
((colours > 16)) || fail "the screenshot shows $colours colours: the window was not drawn"
echo "Kiv.exe showed its window (${width}x${height}); screenshot: $screenshot"
