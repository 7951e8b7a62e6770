#!/bin/sh
# Runs the built program with real pipes, files and exit statuses: end_to_end.sh PATH_TO_MARQUEE8
set -u
marquee8=$1
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run STATUS [ARGUMENT...]: standard input from $scratch/in, output to $scratch/out and err.
run() {
  want=$1
  shift
  "$marquee8" "$@" <"$scratch/in" >"$scratch/out" 2>"$scratch/err"
  got=$?
  [ "$got" -eq "$want" ] || fail "marquee8 $*: status $got, not $want: $(cat "$scratch/err")"
}

# ends_with FILE BYTES / starts_with FILE BYTES, BYTES in printf notation.
ends_with() { printf "$2" >"$scratch/part" && tail -c "$(wc -c <"$scratch/part")" "$1" | cmp -s - "$scratch/part"; }
starts_with() { printf "$2" >"$scratch/part" && head -c "$(wc -c <"$scratch/part")" "$1" | cmp -s - "$scratch/part"; }

: >"$scratch/in"
run 0 825710
starts_with "$scratch/out" 'byte a[]={0,0,0,0,0,0,0,0,' || fail "array head"
ends_with "$scratch/out" '};\r\nint slen= 44;\r\n' || fail "slen line"
[ "$(tr -cd '\r' <"$scratch/out" | wc -c)" -eq 2 ] || fail "not exactly two CR LF"
mv "$scratch/out" "$scratch/from_argument"

printf '825710\r\n' >"$scratch/in"
run 0
cmp -s "$scratch/out" "$scratch/from_argument" || fail "stdin and TEXT give different bytes"

run 0 --version
grep -qx 'marquee8 [0-9]*\.[0-9]*\.[0-9]*' "$scratch/out" || fail "version line"

printf 'ab\n\n' >"$scratch/in"
run 1
[ ! -s "$scratch/out" ] && grep -q '^marquee8: .*byte 2' "$scratch/err" || fail "line break"

run 2 --bogus
grep -q 'Usage: marquee8' "$scratch/err" || fail "usage"

"$marquee8" 825710 </dev/null >/dev/full 2>"$scratch/err"
[ $? -eq 1 ] && grep -q '^marquee8: cannot write' "$scratch/err" || fail "full stdout"
