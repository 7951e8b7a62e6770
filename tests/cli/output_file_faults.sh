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

# A dangling link creates the file it names, relative to the link's folder; links stay links.
mkdir links made && ln -s b links/a && ln -s ../made/new.h links/b
"$marquee8" -o links/a 825710 && cmp -s made/new.h expected && [ -L links/a ] && [ -L links/b ] ||
  fail "dangling link"

long=$(printf '%255s' '' | tr ' ' n)
"$marquee8" -o "$long" 825710 && cmp -s "$long" expected || fail "255-byte name"

# A failure exits 1 with one line naming the file as given, and leaves the folder as it was.
while IFS='|' read -r file reason setup; do
  cd "$(mktemp -d "$scratch/case.XXXXXX")" && eval "$setup" || fail "$file: setup"
  before=$(snapshot .)
  "$marquee8" -o "$file" 825710 2>"$scratch/err"
  status=$?
  [ $status -eq 1 ] || fail "$file: status $status"
  printf "marquee8: cannot write '%s': %s\n" "$file" "$reason" | cmp -s - "$scratch/err" ||
    fail "$file: $(cat "$scratch/err")"
  [ "$(snapshot .)" = "$before" ] || fail "$file: the folder changed"
done <<'EOF'
loop|Too many levels of symbolic links|ln -s loop2 loop && ln -s loop loop2
folder|Is a directory|mkdir folder && echo old >folder/inside
absent/out.h|No such file or directory|:
EOF
