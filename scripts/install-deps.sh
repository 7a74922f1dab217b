#!/usr/bin/env bash
# Installs the Debian packages that Kiv needs, and only those that are
# missing: when everything is there it answers at once, without touching apt.
#
#   bash scripts/install-deps.sh SET...
#
# Every set below is one purpose; a caller names all the sets it needs
# (scripts/run.sh: run; scripts/test.sh: run test win32). Add a package to the set
# whose purpose needs it, or add a set here and name it where it is used.
set -euo pipefail

declare -A package_sets=(
  # Configure and build with the "default" preset (Unix Makefiles), then show
  # the window. Qt's Widgets CMake package also looks for the OpenGL headers;
  # the X11 and offscreen platform plugins come with the Qt libraries. The
  # window's labels are laid out for Arial's widths, which Liberation Sans
  # shares; DejaVu is the desktop's general face.
  [run]="cmake make g++ qt6-base-dev libgl-dev fonts-liberation2 fonts-dejavu-core"
  # The test suites: GoogleTest for the core, Google Benchmark so the
  # benchmarks keep building, and a private X server with a
  # notification-area host, input automation and screenshots for the
  # end-to-end tests; the time zone data for the daylight-saving tests.
  [test]="libgtest-dev googletest libbenchmark-dev xvfb trayer xdotool x11-utils imagemagick tzdata"
  # The Windows program Kiv.exe: the mingw-w64 cross compiler for 32-bit
  # Windows, and Wine (its 32-bit part from the i386 architecture) with Wine's
  # own fonts, Tahoma among them, to run Kiv.exe and its tests. The tests also
  # need the test set: GoogleTest's source, the X server and the tray host.
  [win32]="g++-mingw-w64-i686 wine wine32:i386 fonts-wine"
)

usage() {
  echo "usage: $0 SET... (sets: ${!package_sets[*]})" >&2
  exit 2
}

(($# > 0)) || usage
wanted=()
for set in "$@"; do
  [[ -v package_sets[$set] ]] || usage
  read -ra names <<<"${package_sets[$set]}"
  wanted+=("${names[@]}")
done

isInstalled() {
  [[ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" == installed ]]
}

missing=()
for package in "${wanted[@]}"; do
  isInstalled "$package" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Kiv needs these Debian packages: ${missing[*]}" >&2
  echo "Installing them needs root: run this as root, or install sudo." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
# A package of another architecture (wine32:i386) needs that architecture
# known to dpkg before the package lists are read.
for architecture in $(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*://p' | sort -u); do
  dpkg --print-foreign-architectures | grep -qx "$architecture" ||
    "${as_root[@]}" dpkg --add-architecture "$architecture"
done
"${as_root[@]}" apt-get -q update
# sudo clears the environment, so the setting goes on the command itself.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get -q install -y --no-install-recommends "${missing[@]}"
