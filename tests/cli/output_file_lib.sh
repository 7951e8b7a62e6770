# Sourced by the output_file_*.sh scripts, which take PATH_TO_MARQUEE8.
set -u
marquee8=$1
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every entry below FOLDER with inode, owner, mode, size and time, and every file's bytes.
snapshot() { ls -liAR --full-time "$1" && find "$1" -type f -exec cksum {} +; }
