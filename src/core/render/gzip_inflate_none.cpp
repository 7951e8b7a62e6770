#include "gzip_inflate.h"

namespace marquee8 {

// The browser's build has no zlib: FreeType inflates a compressed font itself as it reads it,
// with the copy of zlib's inflate in its own source.
bool is_gzip(std::span<const unsigned char>) { return false; }

std::vector<unsigned char> gzip_inflate(std::span<const unsigned char> compressed, std::size_t) {
  return {compressed.begin(), compressed.end()};
}

}  // namespace marquee8
