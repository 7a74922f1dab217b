#!/usr/bin/env bash
# Boxes and windows a person reaches from the menus, kept as screenshots in
# ARTIFACTS: the About box (Help, About) and the help window opened with F1
# on the Task menu. Ends kiv with SIGTERM, as a system shutdown does, which
# must end it cleanly and take its icon away.
#
#   bash tests/e2e/x_session.sh --tray -- bash tests/e2e/screenshots_test.sh KIV ARTIFACTS
set -euo pipefail
# shellcheck source=tests/e2e/kiv_test.sh
source "$(dirname "${BASH_SOURCE[0]}")/kiv_test.sh" "$@"

# requireDrawn WINDOW FILE: the screenshot FILE of WINDOW is a PNG of the
# window's size that shows more than one colour.
requireDrawn() {
  local geometry width height format shot_width shot_height colours
  geometry=$(xdotool getwindowgeometry --shell "$1")
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  read -r format shot_width shot_height colours < <(identify -format '%m %w %h %k\n' "$2")
  [[ "$format" == PNG ]] || fail "$2 is $format, not PNG"
  [[ "${shot_width}x$shot_height" == "${width}x$height" ]] ||
    fail "$2 is ${shot_width}x$shot_height, the window ${width}x$height"
  ((colours > 1)) || fail "$2 shows a single colour: the window was not drawn"
}

about_shot="$artifacts/kiv-about.png"
help_shot="$artifacts/kiv-help-task.png"
rm -f "$about_shot" "$help_shot"

startKiv "$kiv" "$artifacts/kiv-screenshots.log"
icon=$(waitForTrayIcon)
clickWindow "$icon" 1
window=$(waitForNamedWindow '^(KIV|Kiv - .+)$')

xdotool windowfocus --sync "$window" key alt+h a
about=$(waitForBox "$icon" "$window")
screenshotWindow "$about" "$about_shot"
requireDrawn "$about" "$about_shot"
answerBox "$about" Return

xdotool windowfocus --sync "$window" key alt+t F1
help=$(waitForNamedWindow '^Kiv Help$')
screenshotWindow "$help" "$help_shot"
requireDrawn "$help" "$help_shot"

kill -TERM "$kiv_pid"
waitForKivToEnd "$kiv_wait_seconds"
((kiv_exit_status == 0)) || fail "kiv ended with status $kiv_exit_status on SIGTERM"
if iconInTray "$icon"; then fail "kiv's icon stayed in the tray after SIGTERM"; fi

echo "screenshots: $about_shot $help_shot"
