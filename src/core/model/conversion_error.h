#pragma once

#include <stdexcept>
#include <string>

namespace marquee8 {

// Every failure the conversion reports, with what went wrong so that each front end can name
// it in its own words. Running out of memory stays std::bad_alloc.
class ConversionError : public std::runtime_error {
 public:
  enum class Kind {
    kInvalidText,      // not UTF-8, or more than one line
    kTextTooLong,      // more columns than an array index can count
    kFontUnusable,     // the font cannot be read, sized or drawn from
    kInvalidSettings,  // an output setting that cannot be written: a name, a lead
    kUnreadableArray,  // a text read back as an array is not one, or not only one
  };

  ConversionError(Kind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}

  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

}  // namespace marquee8
