#pragma once

#include <string>
#include <string_view>

namespace marquee8 {

// Where a conversion's text goes, piece by piece, so that a long output is never held whole.
// A write that fails throws; the conversion stops there.
class ByteSink {
 public:
  virtual void write(std::string_view bytes) = 0;

 protected:
  ~ByteSink() = default;
};

// Collects everything written, for the window and the tests.
class StringSink final : public ByteSink {
 public:
  void write(std::string_view bytes) override { text_ += bytes; }
  const std::string& text() const { return text_; }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace marquee8
