# Sourced by the output_file_*.sh scripts, which take PATH_TO_MARQUEE8. Gives them a scratch
# folder any user may enter, holding a copy of the program (the build tree may be closed to them).
set -u
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch" && cp "$1" "$scratch/marquee8" || exit 1
marquee8=$scratch/marquee8

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every entry below FOLDER with inode, owner, mode, size and time, and every file's bytes.
snapshot() { ls -liAR --full-time "$1" && find "$1" -type f -exec cksum {} +; }
