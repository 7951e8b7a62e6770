#!/bin/sh
# Renders the built man page as man shows it and checks that it names the program and its
# version and describes every option marquee8 --help lists: man_page.sh MARQUEE8 MARQUEE8.1.GZ
set -u
marquee8=$1
page=$2
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

MANWIDTH=80 man --warnings -l "$page" >"$scratch/page" 2>"$scratch/warnings" || fail "man failed"
[ ! -s "$scratch/warnings" ] || fail "man warns: $(cat "$scratch/warnings")"
grep -Eq '^ +marquee8 +- ' "$scratch/page" || fail "no NAME line: $(cat "$scratch/page")"
grep -qF "$("$marquee8" --version)" "$scratch/page" || fail "not the program's version"
options=$("$marquee8" --help | grep -Eo -- '--[a-z][a-z-]+' | sort -u)
[ -n "$options" ] || fail "marquee8 --help lists no options"
for option in $options; do
  grep -Eq -- "^ +(-[a-zA-Z], )?$option" "$scratch/page" || fail "$option is not described"
done
