#!/bin/sh
# Run as root, replacing another user's file keeps its owner, group and mode, set-id bits
# included. output_file_owner.sh PATH_TO_MARQUEE8; exits 77 (skipped) for any other user.
[ "$(id -u)" -eq 0 ] || exit 77
. "$(dirname "$0")/output_file_lib.sh"
cd "$scratch" && "$marquee8" 825710 >expected || fail "no output"

for mode in 640 6750; do
  echo old >out.h && chown nobody:nogroup out.h && chmod $mode out.h || fail "setup"
  "$marquee8" -o out.h 825710 && cmp -s out.h expected || fail "$mode: not written"
  [ "$(stat -c '%U:%G %a' out.h)" = "nobody:nogroup $mode" ] ||
    fail "$mode: now $(stat -c '%U:%G %a' out.h)"
done
