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


# expect_error WHAT STATUS PATTERN: the run just made exited with STATUS, printed nothing, and
# said PATTERN in one "marquee8: " line of standard error.
expect_error() {
  [ "$2" -eq 1 ] || fail "$1: status $2, not 1"
  [ ! -s "$scratch/out" ] || fail "$1: printed output"
  [ "$(wc -l <"$scratch/err")" -eq 1 ] && grep -q "^marquee8: .*$3" "$scratch/err" ||
    fail "$1: $(cat "$scratch/err")"
}

# Standard input is read only up to its first line break, and never without end.
yes | timeout 10 "$marquee8" >"$scratch/out" 2>"$scratch/err"
expect_error "yes |" $? "line break at byte 1"
timeout 120 "$marquee8" </dev/zero >"$scratch/out" 2>"$scratch/err"
expect_error "</dev/zero" $? "too long"
"$marquee8" </ >"$scratch/out" 2>"$scratch/err"
expect_error "directory as stdin" $? "cannot read standard input: Is a directory$"
"$marquee8" </dev/null >"$scratch/out" 2>"$scratch/err"
expect_error "</dev/null" $? "standard input is empty: give a TEXT"

# A write that fails is reported, whatever was being written.
: >"$scratch/out"
for arguments in --help --version 825710 "--preview HI"; do
  "$marquee8" $arguments </dev/null >/dev/full 2>"$scratch/err"
  expect_error "$arguments >/dev/full" $? "cannot write to standard output: No space left on device$"
  "$marquee8" $arguments </dev/null >&- 2>"$scratch/err"
  expect_error "$arguments >&-" $? "cannot write to standard output: Bad file descriptor$"
done
