#!/bin/sh
# Runs the built window program as a user would, with and without a display:
# end_to_end.sh PATH_TO_MARQUEE8_GUI
set -u
gui=$1
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
# ./test exports QT_QPA_PLATFORM=offscreen; each case below names the display it has.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect STREAM FILE PATTERN: FILE is empty if PATTERN is, else a line of it matches PATTERN.
expect() {
  if [ -z "$3" ]; then [ ! -s "$2" ]; else grep -Eq -- "$3" "$2"; fi ||
    fail "$run: $1 does not match '$3': $(cat "$2")"
}

# STATUS|ENVIRONMENT|ARGUMENTS|STDOUT|STDERR, the last two extended regexes; stderr is one line
# at most.
while IFS='|' read -r status environment arguments out err; do
  run="$environment marquee8-gui $arguments"
  # A window that opens by mistake would wait for ever.
  # shellcheck disable=SC2086 # the fields are lists of words
  timeout 20 env $environment "$gui" $arguments </dev/null >"$scratch/out" 2>"$scratch/err"
  got=$?
  [ "$got" -eq "$status" ] || fail "$run: status $got, not $status: $(cat "$scratch/err")"
  expect stdout "$scratch/out" "$out"
  expect stderr "$scratch/err" "$err"
  [ "$(wc -l <"$scratch/err")" -le 1 ] || fail "$run: more than one line on stderr"
done <<'EOF_CASES'
0||--help|For the command line, see 'marquee8 --help'|
0||-h|-V, -v, --version|
0||--version|^marquee8-gui [0-9]+\.[0-9]+\.[0-9]+$|
0||-V|^marquee8-gui [0-9]+\.[0-9]+\.[0-9]+$|
0||-v|^marquee8-gui [0-9]+\.[0-9]+\.[0-9]+$|
0|QT_QPA_PLATFORM=offscreen|--help|^Usage: .*marquee8-gui|
2||--bogus||^marquee8-gui: Unknown option 'bogus'\. Try 'marquee8-gui --help' for more information\.$
2|QT_QPA_PLATFORM=offscreen|825710 --help||^marquee8-gui: Unexpected argument '825710'\. Try .*
1||||^marquee8-gui: cannot open a window: no display \(DISPLAY is not set\); for the command line use marquee8$
1|DISPLAY=:99999|||^marquee8-gui: cannot open a window: cannot connect to display ':99999'; .*
1|QT_QPA_PLATFORM=bogus|||: the Qt platform plugin 'bogus' \(QT_QPA_PLATFORM\) did not start; .*
1|QT_QPA_PLATFORM=offscreen|-platform x||: the Qt platform plugin 'x' \(-platform\) did not start; .*
0||--help|-platform <name>|
2||-pq||^marquee8-gui: Unknown option 'pq'\. Try .*
EOF_CASES

# A window that opens still passes on what Qt warned of while its platform started.
QT_QPA_PLATFORM=offscreen QT_STYLE_OVERRIDE=bogus "$gui" </dev/null >/dev/null 2>"$scratch/err" &
window=$!
for _ in $(seq 100); do
  grep -q "'bogus'" "$scratch/err" && break
  sleep 0.2
done
if kill "$window" 2>/dev/null; then
  grep -q "'bogus'" "$scratch/err" || fail "start-up warning lost: $(cat "$scratch/err")"
else
  fail "the offscreen window did not stay open: $(cat "$scratch/err")"
fi
wait "$window" 2>/dev/null

[ "$failures" -eq 0 ]
