#!/usr/bin/env bash
# kivctl.exe answers as the Linux kivctl does: for the same schedule files,
# the same standard output, standard error and exit status byte for byte,
# and convert writes the same bytes.
#
#   bash kivctl_matches_linux.sh LINUX_KIVCTL SAMPLES_EXE KIVCTL_EXE -- EMULATOR...
set -euo pipefail
if (($# < 5)) || [[ "$4" != -- ]]; then
  echo "usage: kivctl_matches_linux.sh LINUX_KIVCTL SAMPLES_EXE KIVCTL_EXE -- EMULATOR..." >&2
  exit 2
fi
linux_kivctl=$1 samples=$2 kivctl_exe=$3
shift 4
emulator=("$@")

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
# Both programs are given the same relative names, so messages that name a
# file read alike.
"${emulator[@]}" "$samples" .
failures=0

compare() {
  local status_linux=0 status_windows=0
  "$linux_kivctl" "$@" >linux.out 2>linux.err || status_linux=$?
  "${emulator[@]}" "$kivctl_exe" "$@" >windows.out 2>windows.err || status_windows=$?
  if ((status_linux != status_windows)) || ! cmp -s linux.out windows.out ||
    ! cmp -s linux.err windows.err; then
    echo "kivctl $*: differs (exit status $status_linux on Linux, $status_windows on Windows)"
    diff linux.out windows.out | head -n 20 || true
    diff linux.err windows.err | head -n 20 || true
    failures=$((failures + 1))
  fi
}

checked=0
for file in varied.kiv defaults.kiv format-a.kiv format-b.kiv missing.kiv; do
  compare list "$file" --json --show-passwords
  compare list "$file" --json
  compare list "$file"
  compare next "$file" --from "2026-12-01 00:00:00" --count 60 --json
  compare next "$file" --from "2026-12-01 00:00:00" --until "2026-12-03 00:00:00"
  compare check "$file"
  checked=$((checked + 6))
done
"$linux_kivctl" convert format-a.kiv converted-linux.kiv
"${emulator[@]}" "$kivctl_exe" convert format-a.kiv converted-windows.kiv
if ! cmp converted-linux.kiv converted-windows.kiv; then
  echo "kivctl convert: the files differ"
  failures=$((failures + 1))
fi

# The Task Scheduler files are the same bytes from either program. Each
# trigger starts at its first launch after the export, so kivctl exports
# before and after kivctl.exe does: a launch time that passed meanwhile
# changes a file in one of the two, and kivctl.exe's must equal the other.
"$linux_kivctl" export varied.kiv --task-scheduler tasks-before >/dev/null 2>&1 || true
"${emulator[@]}" "$kivctl_exe" export varied.kiv --task-scheduler tasks-windows >/dev/null 2>&1 ||
  true
"$linux_kivctl" export varied.kiv --task-scheduler tasks-after >/dev/null 2>&1 || true
exported=0
for file in tasks-before/*.xml; do
  name=${file#tasks-before/}
  exported=$((exported + 1))
  if ! cmp -s "$file" "tasks-windows/$name" && ! cmp -s "tasks-after/$name" "tasks-windows/$name"; then
    echo "kivctl export --task-scheduler: $name differs"
    failures=$((failures + 1))
  fi
done
if ((exported == 0)) || [[ $(ls tasks-windows) != $(ls tasks-before) ]]; then
  echo "kivctl export --task-scheduler: not the same files ($(ls tasks-windows | wc -l) from kivctl.exe, $exported from kivctl)"
  failures=$((failures + 1))
fi
checked=$((checked + 1))

if ((failures > 0)); then
  echo "$failures of $((checked + 1)) comparisons differ" >&2
  exit 1
fi
echo "kivctl.exe answered $((checked + 1)) requests as the Linux kivctl does"
