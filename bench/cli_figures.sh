#!/usr/bin/env bash
# Whole-process time and peak memory of `marquee8` converting 10^6 and 10^7 characters from
# standard input to /dev/null, median of three runs, against the targets.
# Run: bench/cli_figures.sh [path/to/marquee8]   (default: the release build)
set -euo pipefail
cd "$(dirname "$0")/.."
marquee8=${1:-build/release/src/cli/marquee8}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

median() { sort -n | sed -n 2p; }

status=0
# characters, seconds target, megabytes target
for target in "1000000 0.1 24" "10000000 1 48"; do
  read -r length max_seconds max_mb <<<"$target"
  printf '%s' 'Marquee 8 - 825710 OPEN 24/7, all welcome! ' >"$scratch/text"
  while (($(stat -c %s "$scratch/text") < length)); do
    cat "$scratch/text" "$scratch/text" >"$scratch/double" && mv "$scratch/double" "$scratch/text"
  done
  head -c "$length" "$scratch/text" >"$scratch/in"
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$scratch/time" "$marquee8" <"$scratch/in" >/dev/null
    cat "$scratch/time" >>"$scratch/times.$length"
  done
  seconds=$(cut -d' ' -f1 "$scratch/times.$length" | median)
  mb=$(cut -d' ' -f2 "$scratch/times.$length" | median | awk '{printf "%.1f", $1 / 1024}')
  verdict=$(awk -v s="$seconds" -v m="$mb" -v ts="$max_seconds" -v tm="$max_mb" \
    'BEGIN { print (s <= ts && m <= tm) ? "ok" : "OVER TARGET" }')
  [[ $verdict == ok ]] || status=1
  printf '%9d characters: %5s s (target <= %s s), peak %5s MB (target <= %s MB): %s\n' \
    "$length" "$seconds" "$max_seconds" "$mb" "$max_mb" "$verdict"
done
exit "$status"
