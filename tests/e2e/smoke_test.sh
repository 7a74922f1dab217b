#!/usr/bin/env bash
# Smoke test of the real program: kiv starts with only its icon in the tray, a
# left click on the icon shows the window, and the window is drawn at its own
# size. The screenshot stays in ARTIFACTS for a person to look at.
#
#   bash tests/e2e/x_session.sh --tray -- bash tests/e2e/smoke_test.sh KIV ARTIFACTS
set -euo pipefail
# shellcheck source=tests/e2e/kiv_test.sh
source "$(dirname "${BASH_SOURCE[0]}")/kiv_test.sh" "$@"
screenshot="$artifacts/kiv-window.png"
rm -f "$screenshot"

startKiv "$kiv" "$artifacts/kiv-smoke.log"
icon=$(waitForTrayIcon)
if kivMainWindow >/dev/null; then
  fail "kiv showed its window at start; it should start with only its icon"
fi
clickWindow "$icon" 1
window=$(waitForNamedWindow "$kiv_main_window_name")
screenshotWindow "$window" "$screenshot"
requireKivRunning

geometry=$(xdotool getwindowgeometry --shell "$window")
window_size="$(sed -n 's/^WIDTH=//p' <<<"$geometry")x$(sed -n 's/^HEIGHT=//p' <<<"$geometry")"
read -r format width height colours < <(identify -format '%m %w %h %k\n' "$screenshot")
[[ "$format" == PNG ]] || fail "the screenshot is $format, not PNG"
[[ "${width}x${height}" == "$window_size" ]] ||
  fail "the screenshot is ${width}x${height}, the window $window_size"
# An unpainted or black window comes out as a single colour.
((colours > 1)) || fail "the screenshot shows a single colour: the window was not drawn"

stopKiv
echo "kiv showed its window ($window_size); screenshot: $screenshot"
