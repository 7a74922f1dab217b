#!/usr/bin/env bash
# kiv where there is no X server:
# - `kiv --help` and `kiv --version` print and end at once, without a display,
#   and never start the tray program;
# - on Qt's offscreen platform, which has no X connection, SIGTERM (as a
#   shutdown sends it) ends kiv cleanly, not with a crash.
#
#   no_display_test.sh KIV
set -euo pipefail
readonly program=$1

fail() {
  echo "FAIL: $1" >&2
  exit 1
}

work=$(mktemp -d)
trap 'kill -KILL "${kiv_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/home"
# No display, and folders of the test's own.
readonly -a without_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
  HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime")

version=$("${without_display[@]}" timeout 20 "$program" --version) || fail "kiv --version ended with status $?"
[[ "$version" == "Kiv - Kivander v7.0.0" ]] || fail "kiv --version printed: $version"
help=$("${without_display[@]}" timeout 20 "$program" --help) || fail "kiv --help ended with status $?"
[[ "$help" == "usage: kiv [/o SCHEDULE]"* ]] || fail "kiv --help printed: $help"
[[ ! -e "$work/runtime/kiv" ]] || fail "kiv --help or --version started the program"

# Its hand-over socket is made after the signal handling is in place.
"${without_display[@]}" QT_QPA_PLATFORM=offscreen "$program" >"$work/kiv.log" 2>&1 &
kiv_pid=$!
deadline=$((SECONDS + 30))
until [[ -S "$work/runtime/kiv/kiv.socket" ]]; do
  kill -0 "$kiv_pid" 2>/dev/null || fail "kiv ended before it was ready: $(cat "$work/kiv.log")"
  ((SECONDS < deadline)) || fail "kiv made no hand-over socket"
  sleep 0.1
done
kill -TERM "$kiv_pid"
status=0
wait "$kiv_pid" || status=$?
kiv_pid=
((status == 0)) || fail "kiv ended with status $status on SIGTERM: $(cat "$work/kiv.log")"
echo "PASS: kiv answers --help and --version, and ends cleanly without an X connection"
