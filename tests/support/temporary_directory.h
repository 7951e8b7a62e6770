#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace marquee8::testing {

// A fresh, empty folder that is removed with everything in it when the object goes.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  ~TemporaryDirectory();

  const std::filesystem::path& path() const { return path_; }
  // Everything below the folder by relative path: a file's bytes, or "/" for a folder.
  std::map<std::string, std::string> contents() const;

 private:
  std::filesystem::path path_;
};

void write_file(const std::filesystem::path& file, const std::string& content);

}  // namespace marquee8::testing
