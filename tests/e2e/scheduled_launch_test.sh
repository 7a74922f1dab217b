#!/usr/bin/env bash
# A scheduled launch by the real program: kiv starts with "/o" and a schedule
# whose task 1 is compiled to start the stand-in program a few seconds ahead
# and to close kiv after running. The stand-in's record must show the
# arguments the task's command line spells out, one start, within a second of
# the due second; kiv must then end and take its icon with it.
#
#   bash tests/e2e/x_session.sh --tray -- bash tests/e2e/scheduled_launch_test.sh \
#     KIV STAND_IN SCHEDULE_WRITER ARTIFACTS
set -euo pipefail
(($# == 4)) || {
  echo "usage: scheduled_launch_test.sh KIV STAND_IN SCHEDULE_WRITER ARTIFACTS" >&2
  exit 2
}
kiv=$1 stand_in=$2 schedule_writer=$3 artifacts=$4
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tests/e2e/kiv_driver.sh
source "$here/kiv_driver.sh"
# shellcheck source=tests/e2e/kiv_windows.sh
source "$here/kiv_windows.sh"
trap stopKiv EXIT
mkdir -p "$artifacts"

# Time enough for kiv to start and load the schedule before the launch.
readonly lead_seconds=8

dir=$KIV_E2E_DIR
schedule="$dir/nightly schedule.kiv"
database="$dir/Orders 2026.mdb"
workgroup="$dir/secure.mdw"
record="$dir/launches.record"

due=$(($(date +%s) + lead_seconds))
"$schedule_writer" "$schedule" "$stand_in" "$database" "$workgroup" "$(date -d "@$due" +%H:%M:%S)"

export KIV_STAND_IN_RECORD=$record
startKiv "$kiv" "$artifacts/kiv-scheduled-launch.log" /o "$schedule"
icon=$(waitForTrayIcon)
(($(date +%s) < due)) || fail "kiv took more than $lead_seconds s to start; the test cannot tell"

# The task closes kiv after its launch.
waitForKivToEnd $((lead_seconds + kiv_wait_seconds))
((kiv_exit_status == 0)) || fail "kiv ended with status $kiv_exit_status"
if iconInTray "$icon"; then fail "kiv's icon stayed in the tray after it ended"; fi

[[ -s "$record" ]] || fail "the stand-in was not started"
launches=$(grep -c '^launch$' "$record")
((launches == 1)) || fail "the stand-in was started $launches times"

mapfile -t arguments < <(sed -n 's/^arg [0-9]* //p' "$record")
expected=("$stand_in" "$database" /wrkgrp "$workgroup" /user Admin /pwd s3cret /excl /x "Nightly Run")
if [[ "${arguments[*]@Q}" != "${expected[*]@Q}" ]]; then
  fail "the stand-in got ${arguments[*]@Q}, not ${expected[*]@Q}"
fi

started_ns=$(sed -n 's/^started_ns //p' "$record")
late_ns=$((started_ns - due * 1000000000))
((late_ns >= 0 && late_ns < 1000000000)) ||
  fail "the launch came $late_ns ns after the due second"

echo "the scheduled task started once, $((late_ns / 1000000)) ms into its second, with the composed arguments"
