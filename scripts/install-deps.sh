#!/usr/bin/env bash
# Installs the Debian packages that Kiv needs, and only those that are
# missing: when everything is there it answers at once, without touching apt.
#
#   bash scripts/install-deps.sh SET...
#
# Every set below is one purpose; a caller names all the sets it needs
# (scripts/run.sh: run; scripts/test.sh: run test win32 habits package
# package-check; scripts/package.sh: run package, and win32 for the
# installer). Add a package to the set whose purpose needs it, or add a set
# here and name it where it is used.
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
  # end-to-end tests. The systemd timers kivctl exports are checked with
  # systemd's own analyzer (systemd-analyze, no running service manager), in
  # UTC and in a zone with daylight saving from the time zone data, which the
  # daylight-saving tests use too. The tests read kivctl's JSON with
  # nlohmann's library (the Windows tests too: it is header-only), and the
  # Task Scheduler files it exports against their schema with xmllint. The
  # test of the desktop notifications runs on a private session bus of its
  # own (dbus-run-session, from dbus-daemon), and the test of the metrics
  # file kivctl run writes reads it with the Prometheus client's own parser.
  [test]="libgtest-dev googletest nlohmann-json3-dev libbenchmark-dev xvfb trayer xdotool x11-utils imagemagick systemd tzdata libxml2-utils dbus-daemon python3-prometheus-client"
  # The Windows program Kiv.exe: the mingw-w64 cross compiler for 32-bit
  # Windows, and Wine (its 32-bit part from the i386 architecture) with Wine's
  # own fonts, Tahoma among them, to run Kiv.exe, kivctl.exe and their tests.
  # The tests also need the test set (GoogleTest's source, the X server and
  # the tray host) and the run set's compiler, which builds the Linux kivctl
  # that kivctl.exe is compared with. nlohmann's JSON headers are copied into
  # the cross build for its tests.
  [win32]="g++-mingw-w64-i686 wine wine32:i386 fonts-wine nlohmann-json3-dev"
  # The habits the test command keeps: formatting and clang-tidy (Debian 12's
  # LLVM 14), and clang with its sanitizer and libFuzzer runtimes for the
  # fuzzer run. The asan build uses g++'s own sanitizers.
  [habits]="clang clang-format clang-tidy libclang-rt-14-dev"
  # Making what users install: dpkg-shlibdeps, which CPack asks for the .deb's
  # library dependencies, and makensis for the Windows installer.
  [package]="dpkg-dev nsis"
  # Checking it: lintian, the AppStream and desktop-entry validators, man to
  # read the manual pages as a user does, bash-completion, whose helpers
  # kivctl's completion uses, and file to read the icons' sizes.
  [package-check]="lintian appstream desktop-file-utils man-db bash-completion file"
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
