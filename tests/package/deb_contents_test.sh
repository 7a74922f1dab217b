#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root and checks that every file
# in it is where the desktop, man, bash-completion and Kiv itself look for
# it, and that what it documents and completes is what kivctl accepts.
#
#   bash deb_contents_test.sh PACKAGE LICENSE
set -euo pipefail
(($# == 2)) || { echo "usage: deb_contents_test.sh PACKAGE LICENSE" >&2; exit 2; }
package=$1
licence=$2

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kiv-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$package" "$root"

# ---- The package's fields ------------------------------------------------
field() { dpkg-deb --field "$package" "$1"; }
[[ $(field Package) == kiv ]] || fail "the package is named $(field Package)"
depends=$(field Depends)
# dpkg-shlibdeps found the libraries the programs link; the platform plugins
# are loaded at run time and named by hand.
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 qt6-qpa-plugins; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "Depends lacks $needed: $depends"
done

# ---- Exactly these files -------------------------------------------------
icon_sizes=(16 22 24 32 48 64 128 256)
expected=(
  usr/bin/kiv
  usr/bin/kivctl
  usr/share/applications/kiv.desktop
  usr/share/bash-completion/completions/kivctl
  usr/share/doc/kiv/changelog.gz
  usr/share/doc/kiv/copyright
  usr/share/icons/hicolor/scalable/apps/kiv.svg
  usr/share/kiv/kiv-help.html
  usr/share/man/man1/kiv.1.gz
  usr/share/man/man1/kivctl.1.gz
  usr/share/metainfo/invalid.kiv.kiv.metainfo.xml
)
for size in "${icon_sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/kiv.png")
done
actual=$(cd "$root" && find . -type f -printf '%P\n' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ "$actual" != "$wanted" ]]; then
  fail "the package's files differ from the expected ones (< packaged, > expected):"
  diff <(echo "$actual") <(echo "$wanted") >&2 || true
fi

# ---- The programs --------------------------------------------------------
for program in kiv kivctl; do
  [[ -x $root/usr/bin/$program ]] || fail "/usr/bin/$program is not executable"
done
version=$(dpkg-deb --field "$package" Version)
[[ $("$root/usr/bin/kivctl" --version) == "kivctl (Kivander) $version" ]] ||
  fail "kivctl --version says $("$root/usr/bin/kivctl" --version), the package is $version"
# kiv opens its help from the data folder beside its own: bin/../share/kiv.
[[ -f $root/usr/bin/../share/kiv/kiv-help.html ]] || fail "kiv's help is not in /usr/share/kiv"

# ---- The menu entry and its icon -----------------------------------------
desktop=$root/usr/share/applications/kiv.desktop
desktop-file-validate "$desktop" | grep -E 'error|warning' >&2 && fail "kiv.desktop does not validate"
grep -qx 'Exec=kiv' "$desktop" || fail "kiv.desktop does not start kiv"
grep -qx 'Icon=kiv' "$desktop" || fail "kiv.desktop does not name the icon kiv"
for size in "${icon_sizes[@]}"; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/kiv.png
  [[ -f $icon ]] || continue
  # The icon theme picks a file by its folder's size: it must be that size.
  [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] ||
    fail "the ${size}x${size} icon is $(file -b "$icon")"
done

# ---- AppStream -----------------------------------------------------------
metainfo=$root/usr/share/metainfo/invalid.kiv.kiv.metainfo.xml
appstreamcli validate --no-net "$metainfo" >&2 || fail "the AppStream metadata does not validate"
grep -q '<launchable type="desktop-id">kiv.desktop</launchable>' "$metainfo" ||
  fail "the AppStream metadata does not launch kiv.desktop"

# ---- Manual pages ----------------------------------------------------------
# The help's examples run other programs (systemctl), whose options are not
# kivctl's: they are left out.
help=$("$root/usr/bin/kivctl" --help | sed '/^Example/,/^$/d')
# The commands, as the help lists them: "  list FILE [--json] ...", or
# "  history [FILE] ..." where the operand may be left out; a command the
# help shows on two lines ("export FILE --systemd DIR", "export FILE
# --task-scheduler DIR") once.
mapfile -t commands < <(sed -n 's/^  \([a-z][a-z]*\) [A-Z[].*/\1/p' <<<"$help" | awk '!seen[$0]++')
((${#commands[@]} >= 5)) || fail "kivctl --help lists ${#commands[@]} commands: ${commands[*]}"
mapfile -t options < <(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)

for page in kiv kivctl; do
  found=$(man --manpath="$root/usr/share/man" --where "$page" 2>/dev/null || true)
  [[ $found == "$root/usr/share/man/man1/$page.1.gz" ]] || fail "man finds $page at '$found'"
  # What lintian runs: groff's complaints about the page.
  complaints=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [[ -z $complaints ]] || fail "man warns about $page(1): $complaints"
done
kivctl_page=$(MANWIDTH=200 man -E ascii -P cat -l "$root/usr/share/man/man1/kivctl.1.gz" 2>/dev/null)
for word in "${commands[@]}" "${options[@]}"; do
  grep -qE -- "(^|[^a-z-])$word([^a-z-]|$)" <<<"$kivctl_page" || fail "kivctl(1) does not describe $word"
done

# ---- Bash completion --------------------------------------------------------
# completions COMMAND-LINE: what bash offers at its end, one a line, with the
# completion loaded the way bash-completion loads it: found by the command's
# name in XDG_DATA_DIRS.
completions() {
  XDG_DATA_DIRS=$root/usr/share LINE=$1 bash -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion kivctl || { echo "no completion for kivctl" >&2; exit 1; }
    COMP_LINE=$LINE
    COMP_POINT=${#LINE}
    read -ra COMP_WORDS <<<"$LINE"
    [[ $LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _kivctl kivctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' | sort
}
sorted() { printf '%s\n' "$@" | sort; }

[[ $(completions "kivctl ") == "$(sorted "${commands[@]}")" ]] ||
  fail "'kivctl ' completes to $(completions "kivctl " | xargs), the commands are ${commands[*]}"
general=(--help --version)
[[ $(completions "kivctl -") == "$(sorted "${general[@]}")" ]] ||
  fail "'kivctl -' completes to $(completions "kivctl -" | xargs)"
for command in "${commands[@]}"; do
  # The options the help shows on the command's own line, and the general ones.
  line=$(grep -E "^  $command " <<<"$help")
  mapfile -t own < <(grep -o -- '--[a-z][a-z-]*' <<<"$line")
  [[ $(completions "kivctl $command --") == "$(sorted "${own[@]}" "${general[@]}")" ]] ||
    fail "'kivctl $command --' completes to $(completions "kivctl $command --" | xargs), expected ${own[*]} ${general[*]}"
done
# File names after the command, also after "--"; nothing after an option that
# takes a value.
touch "$scratch/nightly.kiv"
[[ $(completions "kivctl list $scratch/nigh") == "$scratch/nightly.kiv" ]] ||
  fail "'kivctl list FILE' does not complete file names"
[[ $(completions "kivctl next -- $scratch/nigh") == "$scratch/nightly.kiv" ]] ||
  fail "'kivctl next -- FILE' does not complete file names"
[[ -z $(completions "kivctl next --count ") ]] || fail "--count completes to something"

# ---- Copyright and changelog ------------------------------------------------
copyright=$root/usr/share/doc/kiv/copyright
grep -qx 'License: MIT' "$copyright" || fail "the copyright file does not name the MIT licence"
[[ "Copyright: $(sed -n 's/^Copyright (c) //p' "$licence")" == "$(grep '^Copyright: ' "$copyright")" ]] ||
  fail "the copyright file's holder is not the licence's"
# The licence's terms, unindented ("." is an empty line), are LICENSE's.
terms=$(awk '/^License: MIT$/ { n++; next } n == 2 && /^ / { print substr($0, 2) }' "$copyright" |
  sed 's/^\.$//')
[[ "$terms" == "$(sed '1,/^Copyright /d' "$licence" | sed '/./,$!d')" ]] ||
  fail "the copyright file's licence text is not LICENSE's"
[[ $(zcat "$root/usr/share/doc/kiv/changelog.gz" | head -n 1) == "kiv ($version) "* ]] ||
  fail "the changelog's last entry is not for $version"

if ((failures > 0)); then
  echo "$failures problems in $package" >&2
  exit 1
fi
echo "$package: every file is where it is looked for"
