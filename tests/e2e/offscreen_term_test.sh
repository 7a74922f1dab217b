#!/usr/bin/env bash
# Ends kiv with SIGTERM, as a shutdown does, while it draws on Qt's offscreen
# platform, where there is no X connection: it must end cleanly, not crash.
#
#   offscreen_term_test.sh KIV
set -euo pipefail
readonly program=$1

fail() {
  echo "FAIL: $1" >&2
  exit 1
}

work=$(mktemp -d)
trap 'kill -KILL "${kiv_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/home"

# Its hand-over socket is made after the signal handling is in place.
HOME=$work/home XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
  "$program" >"$work/kiv.log" 2>&1 &
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
echo "PASS: kiv ended cleanly on SIGTERM without an X connection"
