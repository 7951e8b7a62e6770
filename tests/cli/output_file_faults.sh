#!/bin/sh
# Runs the built program on the files -o used to lose: output_file_faults.sh PATH_TO_MARQUEE8
. "$(dirname "$0")/output_file_lib.sh"
cd "$scratch" && "$marquee8" 825710 >expected || fail "no output"

# An open descriptor is written where the shell opened it: the line already there survives.
while read -r name how; do
  printf 'a\n' >log
  eval "$how" || fail "$name: status $?"
  printf 'a\n' | cat - expected | cmp -s - log || fail "$name: the log lost its line"
done <<'EOF'
stderr "$marquee8" -o /dev/stderr 825710 2>>log
dev-fd "$marquee8" -o /dev/fd/3 825710 3>>log
proc-self "$marquee8" -o /proc/self/fd/4 825710 4>>log
proc-pid sh -c 'exec "$0" -o "/proc/$$/fd/5" 825710' "$marquee8" 5>>log
thread-self "$marquee8" -o /proc/thread-self/fd/6 825710 6>>log
link-chain ln -s /dev/stderr to-stderr && "$marquee8" -o to-stderr 825710 2>>log
offset { read -r line && "$marquee8" -o /dev/stdin 825710; } <>log
EOF

# A FIFO and a character device are written where they are, never replaced by a regular file;
# making the device node needs root.
mkfifo fifo && { cat fifo >from-fifo & } && "$marquee8" -o fifo 825710 && wait $! &&
  [ -p fifo ] && cmp -s from-fifo expected || fail "FIFO"
if mknod null c 1 3 2>/dev/null; then
  "$marquee8" -o null 825710 && [ -c null ] && [ -z "$(ls -A | grep marquee8-)" ] ||
    fail "character device"
fi

# A dangling link creates the file it names, relative to the link's folder; links stay links.
mkdir links made && ln -s b links/a && ln -s ../made/new.h links/b
"$marquee8" -o links/a 825710 && cmp -s made/new.h expected && [ -L links/a ] && [ -L links/b ] ||
  fail "dangling link"

long=$(printf '%255s' '' | tr ' ' n)
"$marquee8" -o "$long" 825710 && cmp -s "$long" expected || fail "255-byte name"

# A failure exits 1 with one line naming the file as given, and leaves the folder as it was.
# WHO runs it: me; owner, who owns everything (as root: nobody, since root may write anything);
# stranger, who owns neither the file nor the folder but may write in the folder (root only).
while IFS='|' read -r who file reason setup; do
  [ "$who" = stranger ] && [ "$(id -u)" -ne 0 ] && continue
  cd "$(mktemp -d "$scratch/case.XXXXXX")" && eval "$setup" || fail "$file: setup"
  as=
  if [ "$(id -u)" -eq 0 ] && [ "$who" != me ]; then
    chmod 777 . && as="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    [ "$who" = stranger ] || chown -R nobody:nogroup .
  fi
  before=$(snapshot .)
  $as "$marquee8" -o "$file" 825710 2>"$scratch/err"
  status=$?
  [ $status -eq 1 ] || fail "$file ($who): status $status"
  printf "marquee8: cannot write '%s': %s\n" "$file" "$reason" | cmp -s - "$scratch/err" ||
    fail "$file ($who): $(cat "$scratch/err")"
  [ "$(snapshot .)" = "$before" ] || fail "$file ($who): the folder changed"
done <<'EOF'
me|loop|Too many levels of symbolic links|ln -s loop2 loop && ln -s loop loop2
me|folder|Is a directory|mkdir folder && echo old >folder/inside
me|absent/out.h|No such file or directory|:
owner|out.h|Permission denied|echo old >out.h && chmod 444 out.h
owner|ro/out.h|Permission denied|mkdir ro && echo old >ro/out.h && chmod 555 ro
stranger|out.h|Permission denied|echo old >out.h
EOF
