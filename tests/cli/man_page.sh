#!/bin/sh
# Renders both man pages as man shows them, with man's warnings as failures, and checks that
# lexgrog finds their NAME lines, that marquee8's names its version, describes every option
# marquee8 --help lists, has every usage form in its SYNOPSIS, EXAMPLES and SEE ALSO:
# man_page.sh MARQUEE8 MARQUEE8.1.GZ MARQUEE8-GUI.1
set -u
marquee8=$1
page=$2
gui_page=$3
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# render PAGE NAME: the page as man shows it at 80 columns, in $scratch/NAME.
render() {
  MANWIDTH=80 man --warnings -l "$1" >"$scratch/$2" 2>"$scratch/warnings" || fail "man $1 failed"
  [ ! -s "$scratch/warnings" ] || fail "man warns on $1: $(cat "$scratch/warnings")"
  lexgrog "$1" >/dev/null || fail "lexgrog finds no NAME in $1"
  for section in NAME SYNOPSIS DESCRIPTION EXAMPLES "SEE ALSO"; do
    grep -q "^$section\$" "$scratch/$2" || fail "$1 has no $section"
  done
}

render "$page" cli
render "$gui_page" gui
grep -Eq '^ +marquee8 +- ' "$scratch/cli" || fail "no NAME line: $(cat "$scratch/cli")"
grep -qF "$("$marquee8" --version)" "$scratch/cli" || fail "not the program's version"
options=$("$marquee8" --help | grep -Eo -- '--[a-z][a-z-]+' | sort -u)
[ -n "$options" ] || fail "marquee8 --help lists no options"
for option in $options; do
  grep -Eq -- "^ +(-[a-zA-Z], )?$option" "$scratch/cli" || fail "$option is not described"
done
# Every usage form, before DESCRIPTION.
sed -n '/^SYNOPSIS$/,/^DESCRIPTION$/p' "$scratch/cli" >"$scratch/synopsis"
for form in '--decode' '--send=PORT' '--receive=PORT' '--list-fonts'; do
  grep -qF -- "marquee8 $form" "$scratch/synopsis" || fail "SYNOPSIS lacks $form"
done
sed -n '/^EXAMPLES$/,/^[A-Z]/p' "$scratch/cli" | grep -q '\$ marquee8 ' || fail "no example"
grep -q 'marquee8-gui(1)' "$scratch/cli" || fail "marquee8 does not point to marquee8-gui"
grep -q 'marquee8(1)' "$scratch/gui" || fail "marquee8-gui does not point to marquee8"
