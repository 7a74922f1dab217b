#!/usr/bin/env bash
# On a desktop without a notification area there is no icon to press, so kiv
# shows its window at start instead of leaving it out of reach.
#
#   bash tests/e2e/x_session.sh -- bash tests/e2e/no_tray_test.sh KIV ARTIFACTS
set -euo pipefail
# shellcheck source=tests/e2e/kiv_test.sh
source "$(dirname "${BASH_SOURCE[0]}")/kiv_test.sh" "$@"

startKiv "$kiv" "$artifacts/kiv-no-tray.log"
waitForNamedWindow '^(KIV|Kiv - .+)$' >/dev/null
echo "without a notification area kiv showed its window"
