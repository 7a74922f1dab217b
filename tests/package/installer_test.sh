#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix, used as an
# administrator without a person at the keyboard uses it (/S): installs with
# a start at log-on and a schedule, checks the files, the Start-menu
# shortcut and the Run value, logs on (Kiv starts hidden with its icon and
# its schedule), installs again over the running Kiv, then uninstalls and
# checks that everything the installer made is gone while the user's
# schedule and settings stay. Also checks that the zip holds the files the
# installer installs.
#
#   bash installer_test.sh PREFIX INSTALLER ZIP SCHEDULE_WRITER EMULATOR
#
# Runs inside an X session with a notification-area host (the one that
# tests/win32/run_wine_tests.sh starts: tests/e2e/x_session.sh --tray).
set -euo pipefail
if (($# != 5)); then
  echo "usage: installer_test.sh PREFIX INSTALLER ZIP SCHEDULE_WRITER EMULATOR" >&2
  exit 2
fi
prefix=$1 installer=$2 zip=$3 schedule_writer=$4 emulator=$5
readonly wait_seconds=30

fail() {
  echo "installer_test.sh: $1" >&2
  exit 1
}
[[ -n "${DISPLAY:-}" && -n "${KIV_E2E_TRAY_WINDOW:-}" ]] ||
  fail "needs an X display with a notification-area host (run it through tests/win32/run_wine_tests.sh)"

# Start-menu shortcuts would become menu entries of the X session's desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

# windows PROGRAM [ARG...]: runs a Windows program in the test's prefix.
windows() { "$emulator" "$prefix" "$@"; }
# Wine's programs end their lines Windows' way.
windowsOutput() { windows "$@" | tr -d '\r'; }

# runCommandLine LINE: runs LINE exactly as Windows would get it, quotation
# marks and all, and waits for it to end. (Given as arguments, Wine would
# quote each argument of its own; so would "start".)
runCommandLine() {
  printf '@%s\r\n' "$1" >"$prefix/drive_c/kiv-test.bat"
  windows cmd /c 'C:\kiv-test.bat'
}

# registryText KEY VALUE: the text stored under KEY as VALUE, or nothing.
registryText() {
  windowsOutput reg query "$1" /v "$2" 2>/dev/null | sed -n "s/^    $2    REG_SZ    //p"
}

# waitFor WHAT COMMAND...: until COMMAND succeeds, for at most wait_seconds.
waitFor() {
  local what=$1 deadline=$((SECONDS + wait_seconds))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || fail "no $what within ${wait_seconds} s"
    sleep 0.2
  done
}
# Wine docks an icon into the host's panel as a window of explorer.exe.
iconDocked() { xwininfo -tree -id "$KIV_E2E_TRAY_WINDOW" | grep -q '"explorer.exe"'; }
iconGone() { ! iconDocked; }
# Kiv's own windows (its form, a message box) carry its program's name.
kivWindowShown() { xdotool search --onlyvisible --classname '^kiv\.exe$'; }

# ---- A user's machine ------------------------------------------------------
"$emulator" "$prefix" --fresh
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/kiv-zip.XXXXXX")
# The prefix's own Wine processes (its desktop among them) end with the test.
trap 'WINEPREFIX=$prefix wineserver --kill 2>/dev/null || true; rm -rf "$unpacked"' EXIT
local_app_data=$(windowsOutput cmd /c echo '%LOCALAPPDATA%')
app_data=$(windowsOutput cmd /c echo '%APPDATA%')
install_dir_windows="$local_app_data\\Programs\\Kiv"
install_dir=$(windowsOutput winepath -u "$install_dir_windows")
shortcut=$(windowsOutput winepath -u "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Kiv.lnk")
installer_windows=$(windowsOutput winepath -w "$installer")
readonly run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
readonly uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiv'

# A schedule in a folder with a blank in its name, and a stored default
# location: the user's own, which uninstalling must leave.
readonly schedule_windows='C:\My schedules\nightly.kiv'
mkdir -p "$prefix/drive_c/My schedules"
windows "$schedule_writer" "$schedule_windows" "Opened at log-on"
schedule=$prefix/drive_c/My\ schedules/nightly.kiv
[[ -f $schedule ]] || fail "the schedule writer made no $schedule"
windows reg add 'HKCU\Software\Kiv\FileLoc' /v 4 /t REG_SZ /d 'C:\Office\MSACCESS.EXE' /f >/dev/null

# ---- Install ------------------------------------------------------------------
runCommandLine "\"$installer_windows\" /S /SCHEDULE=\"$schedule_windows\""

[[ -d $install_dir ]] || fail "nothing was installed in $install_dir_windows"
for file in Kiv.exe kiv-help.html LICENSE.txt Uninstall.exe; do
  [[ -f $install_dir/$file ]] || fail "$file was not installed"
done
# The zip holds the installed files, byte for byte, in one folder.
(cd "$unpacked" && cmake -E tar xf "$zip")
zipped=$(cd "$unpacked/Kiv" && find . -type f -printf '%P\n' | sort)
installed=$(cd "$install_dir" && find . -type f ! -name Uninstall.exe -printf '%P\n' | sort)
[[ "$zipped" == "$installed" ]] ||
  fail "the zip holds $(echo $zipped), the installer installs $(echo $installed)"
for file in $zipped; do
  cmp -s "$unpacked/Kiv/$file" "$install_dir/$file" || fail "the zip's $file differs from the installed one"
done

[[ -f $shortcut ]] || fail "there is no Start-menu shortcut"
strings -e l "$shortcut" | grep -qiF "$install_dir_windows\\Kiv.exe" ||
  fail "the Start-menu shortcut does not start $install_dir_windows\\Kiv.exe"

# Kiv takes the path after "/o " as it stands: no quotation marks around it.
expected_run="\"$install_dir_windows\\Kiv.exe\" /o $schedule_windows"
[[ $(registryText "$run_key" Kiv) == "$expected_run" ]] ||
  fail "the Run value is '$(registryText "$run_key" Kiv)', not '$expected_run'"
[[ $(registryText "$uninstall_key" UninstallString) == "\"$install_dir_windows\\Uninstall.exe\"" ]] ||
  fail "Kiv is not among the installed programs"

# ---- Log on -------------------------------------------------------------------
# Wine's start-up program starts the Run values' command lines as they stand,
# as Windows does at log-on.
logOn() {
  windows wineboot
  waitFor "icon in the notification area" iconDocked
}
logOn
# Hidden, and no message: a schedule that could not be opened would have
# been reported in a message box.
sleep 1
kivWindowShown >/dev/null && fail "Kiv did not start hidden: $(xdotool search --onlyvisible --classname '^kiv\.exe$' getwindowname)"
xdotool mousemove --window "$KIV_E2E_TRAY_WINDOW" 10 10 click 1
waitFor "window shown for a click on the icon" kivWindowShown

# ---- Install again: a bad switch, over the running Kiv, without log-on start --
status=0
runCommandLine "\"$installer_windows\" /S /LOGON=yes" || status=$?
((status == 2)) || fail "/LOGON=yes ended with status $status, not 2 (bad usage)"
iconDocked || fail "a refused install ended the running Kiv"

runCommandLine "\"$installer_windows\" /S"
waitFor "end of the running Kiv" iconGone
[[ $(registryText "$run_key" Kiv) == "$expected_run" ]] ||
  fail "installing again changed the Run value to '$(registryText "$run_key" Kiv)'"
runCommandLine "\"$installer_windows\" /S /LOGON=0"
[[ -z $(registryText "$run_key" Kiv) ]] || fail "/LOGON=0 left the Run value"
[[ -f $install_dir/Kiv.exe ]] || fail "installing again lost Kiv.exe"

# ---- Uninstall ---------------------------------------------------------------
runCommandLine "\"$installer_windows\" /S /LOGON=1"
[[ -n $(registryText "$run_key" Kiv) ]] || fail "/LOGON=1 wrote no Run value"
logOn
runCommandLine "\"$install_dir_windows\\Uninstall.exe\" /S"
# The uninstaller runs from a copy of itself, so that it can remove itself.
waitFor "uninstall" test ! -e "$install_dir"
iconGone || fail "uninstalling left Kiv running"
[[ ! -e $shortcut ]] || fail "uninstalling left the Start-menu shortcut"
[[ -z $(registryText "$run_key" Kiv) ]] || fail "uninstalling left the Run value"
[[ -z $(registryText "$uninstall_key" UninstallString) ]] || fail "uninstalling left Kiv among the installed programs"
[[ -f $schedule ]] || fail "uninstalling removed the user's schedule"
[[ $(registryText 'HKCU\Software\Kiv\FileLoc' 4) == 'C:\Office\MSACCESS.EXE' ]] ||
  fail "uninstalling removed the user's settings"

echo "installed, started at log-on, installed again and uninstalled silently"
