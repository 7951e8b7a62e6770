#!/bin/sh
# Runs the built program on the files -o used to lose: output_file_faults.sh PATH_TO_MARQUEE8
. "$(dirname "$0")/output_file_lib.sh"
cd "$scratch" && "$marquee8" 825710 >expected || fail "no output"

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
folder|Is a directory|mkdir folder && echo old >folder/inside
absent/out.h|No such file or directory|:
EOF
