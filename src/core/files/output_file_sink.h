#pragma once

#include <string_view>

#include "byte_sink.h"
#include "output_file.h"

namespace marquee8 {

// A conversion written straight into an output file, as the command line's -o and the window's
// Save Output As write it.
class OutputFileSink final : public ByteSink {
 public:
  explicit OutputFileSink(OutputFile& file) : file_(file) {}
  void write(std::string_view bytes) override { file_.write(bytes); }

 private:
  OutputFile& file_;
};

}  // namespace marquee8
