#!/bin/sh
# Configures, builds and installs both programs with nothing but what they need (a compiler,
# CMake, Make, Qt 6, FreeType, fontconfig, zlib, utfcpp and libserialport), as a packager
# would: CMake and the build see only a folder of the compiler's, CMake's and Make's programs,
# and every system program folder is hidden from find_program. What needs avr-gcc, clang, python3, help2man, pkg-config or
# the validators must then be left out with a line saying so, never stop the build.
# plain_build.sh SOURCE_DIR; works in SOURCE_DIR/build/plain-check, removed when it passes.
set -eu
source=$(realpath "$1")
work=$source/build/plain-check
rm -rf "$work"
mkdir -p "$work/bin"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# g++ runs as and ld from PATH; CMake looks for the rest of binutils beside the compiler.
for tool in cmake make g++ as ld ar ranlib nm objdump objcopy readelf strip; do
  ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
# ccache speeds the build up without being needed by it; it must be named by its path.
if [ -n "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  CMAKE_CXX_COMPILER_LAUNCHER=$(command -v "$CMAKE_CXX_COMPILER_LAUNCHER")
  export CMAKE_CXX_COMPILER_LAUNCHER
fi

hidden="/usr/local/sbin;/usr/local/bin;/usr/sbin;/usr/bin;/sbin;/bin"
PATH=$work/bin cmake -S "$source" -B "$work/build" -G "Unix Makefiles" \
  -DCMAKE_IGNORE_PATH="$hidden" -DCMAKE_INSTALL_PREFIX=/usr >"$work/configure.log" 2>&1 ||
  fail "configuring: $(tail -20 "$work/configure.log")"
for left_out in "The Arduino example is" "The man page is" "The tests are"; do
  grep -q "^-- $left_out left out: " "$work/configure.log" ||
    fail "configuring does not say: $left_out left out"
done

PATH=$work/bin cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  fail "building: $(tail -20 "$work/build.log")"
DESTDIR=$work/root PATH=$work/bin cmake --install "$work/build" >"$work/install.log" 2>&1 ||
  fail "installing: $(tail -20 "$work/install.log")"

for file in bin/marquee8 bin/marquee8-gui share/applications/io.github.marquee8.Marquee8.desktop \
  share/metainfo/io.github.marquee8.Marquee8.metainfo.xml share/doc/marquee8/copyright; do
  [ -f "$work/root/usr/$file" ] || fail "not installed: /usr/$file"
done
# The README's first example, its line ending (CR LF) left aside.
expected='byte a[]={0,0,0,0,0,0,0,0, 54, 73, 73, 73, 54, 0, 66, 97, 81, 73, 70, 0, 39, 69, 69, 69, 57, 0, 1, 113, 9, 5, 3, 0, 68, 66, 127, 64, 64, 0, 62, 81, 73, 69, 62, 0, 0};'
[ "$("$work/root/usr/bin/marquee8" 825710 | head -1 | tr -d '\r')" = "$expected" ] ||
  fail "the installed marquee8 does not convert as the README shows"
"$work/root/usr/bin/marquee8-gui" --version | grep -q '^marquee8-gui ' ||
  fail "the installed marquee8-gui does not start"

rm -rf "$work"
echo "Plain build: configured, built and installed with only the programs' own dependencies."
