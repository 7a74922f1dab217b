#!/usr/bin/env bash
# On a desktop without a notification area there is no icon to press, so kiv
# shows its window at start instead of leaving it out of reach.
#
#   bash tests/e2e/x_session.sh -- bash tests/e2e/no_tray_test.sh KIV ARTIFACTS
set -euo pipefail
(($# == 2)) || { echo "usage: no_tray_test.sh KIV ARTIFACTS" >&2; exit 2; }
kiv=$1 artifacts=$2
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/e2e/kiv_driver.sh
source "$here/kiv_driver.sh"
# shellcheck source=tests/e2e/kiv_windows.sh
source "$here/kiv_windows.sh"
trap stopKiv EXIT
mkdir -p "$artifacts"

startKiv "$kiv" "$artifacts/kiv-no-tray.log"
waitForNamedWindow '^(KIV|Kiv - .+)$' >/dev/null
echo "without a notification area kiv showed its window"
