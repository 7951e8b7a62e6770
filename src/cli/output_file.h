#pragma once

#include <string>
#include <string_view>

namespace marquee8 {

// Placeholder until the streaming writer lands: collects the bytes and writes them atomically.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();
  void write(std::string_view bytes);
  void commit();

 private:
  std::string path_;
  std::string content_;
};

}  // namespace marquee8
