#include "gzip_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <string>

namespace marquee8 {

namespace {

// zlib's stream, ended however the inflation stops.
class Inflater {
 public:
  Inflater() {
    // 16 + the largest window: gzip headers only, as a .gz file has.
    if (inflateInit2(&stream_, 16 + MAX_WBITS) != Z_OK) {
      throw InflateError("cannot be inflated: zlib could not start");
    }
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  ~Inflater() { inflateEnd(&stream_); }

  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

bool inflates_here(std::span<const unsigned char> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

std::vector<unsigned char> gzip_inflate(std::span<const unsigned char> compressed,
                                        std::size_t max_bytes) {
  if (compressed.size() > std::numeric_limits<uInt>::max()) {
    throw InflateError("is too large to inflate");
  }
  Inflater inflater;
  z_stream& stream = inflater.stream();
  // zlib's interface is not const-correct; it never writes its input.
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());
  const auto too_large = [&] {
    return InflateError("inflates to more than " + std::to_string(max_bytes >> 20) +
                        " MiB: not a font file");
  };
  std::vector<unsigned char> out;
  std::size_t size = 0;
  for (;;) {
    if (size == out.size()) {
      if (size > max_bytes) throw too_large();
      out.resize(std::min(size + 256 * 1024, max_bytes + 1));
    }
    stream.next_out = out.data() + size;
    stream.avail_out = static_cast<uInt>(out.size() - size);
    const int result = inflate(&stream, Z_NO_FLUSH);
    size = out.size() - stream.avail_out;
    if (result == Z_STREAM_END) {
      // gunzip reads on into a member that follows, and passes over anything else after one.
      const std::span<const unsigned char> rest(stream.next_in, stream.avail_in);
      if (!inflates_here(rest)) break;
      if (inflateReset(&stream) != Z_OK) throw InflateError("cannot be inflated");
    } else if (result == Z_BUF_ERROR && stream.avail_in == 0) {
      throw InflateError("is truncated: its gzip data ends early");
    } else if (result != Z_OK && result != Z_BUF_ERROR) {
      throw InflateError(std::string("is damaged gzip data (") +
                         (stream.msg != nullptr ? stream.msg : "zlib error") + ")");
    }
  }
  if (size > max_bytes) throw too_large();
  out.resize(size);
  return out;
}

}  // namespace marquee8
