#!/usr/bin/env bash
# Builds what users install, after installing what is missing:
#
#   bash scripts/package.sh deb     build/default/packages/kiv_VERSION_ARCH.deb
#   bash scripts/package.sh win32   build/win32/packages/Kiv-VERSION-setup.exe
#                                   and build/win32/packages/Kiv-VERSION-win32.zip
#
# Both can be named at once. Each uses its preset's build folder and keeps
# its settings: a folder configured for the tests stays so, and a new one is
# configured without them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

usage() {
  echo "usage: $0 deb|win32..." >&2
  exit 2
}

# configure PRESET: configures the preset's build folder, without the test
# suites when it is new.
configure() {
  local preset=$1
  if [[ -f build/$preset/CMakeCache.txt ]]; then
    cmake --preset "$preset" >/dev/null
  else
    cmake --preset "$preset" -DKIV_BUILD_TESTS=OFF >/dev/null
  fi
}

buildDeb() {
  bash scripts/install-deps.sh run package
  configure default
  cmake --build --preset default --target kiv kivctl -j2
  # CPack installs the build into a scratch root with the package's prefix and
  # packs that with the dependencies dpkg-shlibdeps finds.
  cpack --config build/default/CPackConfig.cmake
}

buildWin32() {
  bash scripts/install-deps.sh run win32 package
  configure win32
  cmake --build --preset win32 --target kiv_installer kiv_zip -j2
}

(($# > 0)) || usage
for kind in "$@"; do
  case $kind in
    deb) buildDeb ;;
    win32) buildWin32 ;;
    *) usage ;;
  esac
done
