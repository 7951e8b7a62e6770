#include "output_file.h"

#include "atomic_file.h"

namespace marquee8 {
OutputFile::OutputFile(const std::string& path) : path_(path) {}
OutputFile::~OutputFile() = default;
void OutputFile::write(std::string_view bytes) { content_ += bytes; }
void OutputFile::commit() { write_file_atomically(path_, content_); }
}  // namespace marquee8
