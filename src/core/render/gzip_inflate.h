#pragma once

#include <cstddef>
#include <span>
#include <stdexcept>
#include <vector>

namespace marquee8 {

// Why gzip data could not be inflated, as the end of a sentence about the file: "is truncated
// gzip data", "inflates to more than 256 MiB".
class InflateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether `bytes` are gzip data that this build inflates before FreeType reads them.
bool inflates_here(std::span<const unsigned char> bytes);

// The data of every gzip member in `compressed`, one after another as gunzip writes them.
// Throws InflateError for damaged or cut-short data and for more than `max_bytes` of output, so
// a small file cannot fill the memory.
std::vector<unsigned char> gzip_inflate(std::span<const unsigned char> compressed,
                                        std::size_t max_bytes);

}  // namespace marquee8
