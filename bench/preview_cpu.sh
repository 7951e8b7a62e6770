#!/usr/bin/env bash
# CPU that marquee8-gui spends while its LED preview strip scrolls "825710" at its own speed,
# measured over 10 s on a virtual X display, as a share of one core; then the same paused.
# Run: bench/preview_cpu.sh [path/to/marquee8-gui]   (default: the release build)
set -euo pipefail

if [[ ${1:-} == --on-display ]]; then
  gui=$2
  XDG_CONFIG_HOME=$(mktemp -d) "$gui" &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
  sleep 1
  xdotool windowfocus --sync "$window" key Tab Tab space
  ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
  share() {  # CPU share of one core over 10 s
    local before after
    before=$(ticks)
    sleep 10
    after=$(ticks)
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f %%", 100 * t / hz / 10 }'
  }
  echo "scrolling: $(share) of one core (target <= 5 %)"
  xdotool windowfocus --sync "$window" key alt+v p
  echo "paused:    $(share) of one core"
  exit 0
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
gui=$(realpath "${1:-$root/build/release/src/window/marquee8-gui}")
xvfb-run --auto-servernum --server-args='-screen 0 1024x768x24' "${BASH_SOURCE[0]}" --on-display "$gui"
