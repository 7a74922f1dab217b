#!/usr/bin/env bash
# `kiv --help` and `kiv --version` print and end at once, even without a
# display; they never start the tray program.
#
#   information_test.sh KIV
set -euo pipefail
readonly program=$1

fail() {
  echo "FAIL: $1" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/home"
runKiv() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" timeout 20 "$program" "$@"
}

version=$(runKiv --version) || fail "kiv --version ended with status $?"
[[ "$version" == "Kiv - Kivander v7.0.0" ]] || fail "kiv --version printed: $version"

help=$(runKiv --help) || fail "kiv --help ended with status $?"
[[ "$help" == "usage: kiv [/o SCHEDULE]"* ]] || fail "kiv --help printed: $help"

[[ ! -e "$work/runtime/kiv" ]] || fail "kiv --help or --version started the program"
echo "PASS: --help and --version print and end"
