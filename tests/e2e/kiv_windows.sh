# shellcheck shell=bash
# Waits for kiv's windows and answers its boxes from an end-to-end test.
# Sourced after kiv_driver.sh, whose kiv_pid, fail and kiv_wait_seconds it
# uses; every wait is bounded.
# shellcheck disable=SC2154 # kiv_pid and kiv_wait_seconds come from kiv_driver.sh

# waitForTrayIcon: prints the window of kiv's icon once the tray host has
# embedded it.
waitForTrayIcon() {
  local deadline=$((SECONDS + kiv_wait_seconds))
  until kivTrayIcon; do
    requireKivRunning
    ((SECONDS < deadline)) || fail "kiv's icon did not reach the tray within ${kiv_wait_seconds} s"
    sleep 0.1
  done
}

# iconInTray WINDOW: whether WINDOW is still embedded in the tray host.
iconInTray() {
  xwininfo -tree -id "$KIV_E2E_TRAY_WINDOW" | grep -q "$(printf '0x%x ' "$1")"
}

# kivWindowsNamed REGEX [EXCLUDED...]: prints kiv's visible windows whose
# name matches the bash REGEX (case-sensitive, unlike some xdotool builds),
# leaving out the EXCLUDED windows.
kivWindowsNamed() {
  local regex=$1 window
  shift
  for window in $(xdotool search --onlyvisible --pid "$kiv_pid" 2>/dev/null); do
    [[ " $* " == *" $window "* ]] && continue
    [[ "$(xdotool getwindowname "$window" 2>/dev/null)" =~ $regex ]] && echo "$window"
  done
  return 0
}

# waitForNamedWindow REGEX [EXCLUDED...]: prints the first window that
# kivWindowsNamed finds, once there is one.
waitForNamedWindow() {
  local deadline=$((SECONDS + kiv_wait_seconds)) found
  while ((SECONDS < deadline)); do
    requireKivRunning
    found=$(kivWindowsNamed "$@")
    [[ -n "$found" ]] && { echo "${found%%$'\n'*}"; return 0; }
    sleep 0.1
  done
  fail "no window named $1 within ${kiv_wait_seconds} s"
}

# waitForBox EXCLUDED...: prints a message box of kiv (title "Kiv") that is
# none of the EXCLUDED windows; the tray icon's window has the same name.
waitForBox() {
  waitForNamedWindow '^Kiv$' "$@"
}

# answerBox BOX KEY: gives BOX the keyboard and presses KEY in it (Return
# takes the default button, a button's underlined letter that button).
answerBox() {
  xdotool windowfocus --sync "$1" key "$2"
}

# waitForKivToEnd SECONDS: waits at most SECONDS until kiv has ended and
# sets kiv_exit_status. Not to be run in a subshell: only the shell that
# started kiv can collect its status.
kiv_exit_status=
waitForKivToEnd() {
  local deadline=$((SECONDS + $1)) status=0
  while kill -0 "$kiv_pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "kiv did not end within $1 s"
    sleep 0.1
  done
  wait "$kiv_pid" || status=$?
  # shellcheck disable=SC2034 # read by the tests that source this file
  kiv_exit_status=$status
  kiv_pid=
}
