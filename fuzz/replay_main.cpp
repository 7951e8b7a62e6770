// Runs every file of the folders given on the command line through the fuzz target once, so
// that builds without libFuzzer still check the seed corpus.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::cerr << "usage: start_command_replay FOLDER...; no input files found\n";
    return 1;
  }
  for (const auto& file : files) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
      std::cerr << "cannot read " << file << '\n';
      return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                          std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::cout << "replayed " << files.size() << " inputs\n";
  return 0;
}
