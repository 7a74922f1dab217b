#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, in the build's own
# prefix, which is made the first time it is needed.
#
#   wine_emulator.sh PREFIX PROGRAM [ARG...]   run PROGRAM; its exit status is ours
#   wine_emulator.sh PREFIX --fresh            throw the prefix away and make a new one
#
# A new prefix gets Wine's X11 driver set to unmanaged windows: with a window
# manager's part left out, closing a window does not wait two seconds for an
# answer that never comes under Xvfb.
set -euo pipefail
(($# >= 2)) || { echo "usage: wine_emulator.sh PREFIX PROGRAM [ARG...] | PREFIX --fresh" >&2; exit 2; }
prefix=$1
shift

export WINEPREFIX=$prefix WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# Wine takes the Windows locale from the Unix one. The C locale makes it US
# English with the Windows-1252 code page whatever the machine's language,
# so what the tests see does not depend on where they run.
export LC_ALL=C.UTF-8

# Wine's own fonts (Debian's fonts-wine), Tahoma among them: Debian's Wine
# does not look for them where the package puts them, so the prefix's font
# folder links to them.
readonly wine_fonts=/usr/share/wine/fonts

makePrefix() {
  # The installers of Mono and Gecko would ask questions; nothing here needs them.
  WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  wineserver --wait
  if [[ -d "$wine_fonts" ]]; then
    ln -sf "$wine_fonts"/*.ttf "$prefix/drive_c/windows/Fonts/"
  fi
}

mkdir -p "$(dirname "$prefix")"
# Tests may start in parallel; one of them makes the prefix, the others wait.
# Wine's processes must not inherit the lock, or the server would hold it.
exec 9>"$prefix.lock"
flock 9
if [[ "$1" == --fresh ]]; then
  wineserver --kill 9>&- 2>/dev/null || true
  rm -rf "$prefix"
  makePrefix 9>&-
  exit 0
fi
[[ -f "$prefix/system.reg" ]] || makePrefix 9>&-
flock --unlock 9
exec 9>&-
exec wine "$@"
