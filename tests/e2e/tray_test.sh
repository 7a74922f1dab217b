#!/usr/bin/env bash
# Kiv in the notification area: it starts with only its icon, a left press on
# the icon shows the window, a right press asks whether to keep the icon: Yes
# hides the window and keeps the icon, No (and No to saving) ends kiv and
# takes the icon away.
#
#   bash tests/e2e/x_session.sh --tray -- bash tests/e2e/tray_test.sh KIV ARTIFACTS
set -euo pipefail
# shellcheck source=tests/e2e/kiv_test.sh
source "$(dirname "${BASH_SOURCE[0]}")/kiv_test.sh" "$@"

startKiv "$kiv" "$artifacts/kiv-tray.log"
icon=$(waitForTrayIcon)

# Started hidden: the icon is the only window kiv shows.
visible=$(xdotool search --onlyvisible --pid "$kiv_pid" 2>/dev/null || true)
[[ "$visible" == "$icon" ]] || fail "kiv shows windows besides its icon: $visible"

clickWindow "$icon" 1
waitForNamedWindow '^(KIV|Kiv - .+)$' >/dev/null

# Right press, Yes: the window goes, the icon stays, kiv runs on.
clickWindow "$icon" 3
question=$(waitForBox "$icon")
answerBox "$question" y
deadline=$((SECONDS + kiv_wait_seconds))
while [[ -n "$(kivWindowsNamed '^(KIV|Kiv - .+)$')" ]]; do
  ((SECONDS < deadline)) || fail "the window stayed after Yes to keeping the icon"
  sleep 0.1
done
requireKivRunning
iconInTray "$icon" || fail "the icon went with the window"

# Right press, No, then No to "Save this schedule?": kiv ends cleanly and
# its icon is gone from the tray. The press lands away from the last one, so
# that it does not count as the second half of a double-click. No is never
# the default button of these two questions: Return would keep everything.
xdotool mousemove --window "$icon" 16 16 click 3
question=$(waitForBox "$icon")
answerBox "$question" n
saveQuestion=$(waitForBox "$icon" "$question")
answerBox "$saveQuestion" n
waitForKivToEnd "$kiv_wait_seconds"
((kiv_exit_status == 0)) || fail "kiv ended with status $kiv_exit_status"
if iconInTray "$icon"; then fail "kiv's icon stayed in the tray after it ended"; fi

echo "kiv started in the tray, showed and hid its window, and ended without a trace"
