#!/bin/sh
# Signals the built program while it writes -o FILE: it must take its temporary file with it and
# die of the signal, or go on when the signal is ignored. output_file_signals.sh PATH_TO_MARQUEE8
. "$(dirname "$0")/output_file_lib.sh"
# Some 40 MB of output, a tenth of a second or more of writing to catch it in.
head -c 2000000 /dev/zero | tr '\0' A >"$scratch/text" && echo >>"$scratch/text" || exit 1
mkdir "$scratch/out" && cd "$scratch/out" || exit 1

# env sets the signal's handling: sh starts background jobs with SIGINT ignored.
while read -r signal handling status; do
  echo old >out.h
  before=$(snapshot .)
  env "--$handling-signal=$signal" "$marquee8" -o out.h <"$scratch/text" &
  pid=$!
  while [ "$(ls -A | wc -l)" -eq 1 ]; do
    kill -0 $pid 2>/dev/null || fail "$signal: no temporary file appeared"
    sleep 0.01
  done
  kill -s "$signal" $pid
  wait $pid
  got=$?
  [ $got -eq "$status" ] || fail "$signal ($handling): status $got, not $status"
  if [ "$status" -eq 0 ]; then
    [ "$(ls -A)" = out.h ] && ! grep -qx old out.h
  else
    [ "$(snapshot .)" = "$before" ]
  fi || fail "$signal ($handling): the folder is not as it should be"
done <<'EOF'
INT default 130
TERM default 143
HUP default 129
HUP ignore 0
EOF
