// What crosses between Qt and the core: UTF-16 text unchanged, and each failure in its own words.
#include "core_adapter.h"

#include <gmock/gmock.h>

#include <new>
#include <stdexcept>

#include "conversion.h"
#include "conversion_error.h"

namespace marquee8 {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(WindowConversion, PassesTheTextsUtf16CodeUnitsUnchanged) {
  // A surrogate pair is one glyph over two code units; a lone surrogate is a box of its own.
  const QString pair = QString::fromUtf8("8 數 \xF0\x9F\x98\x80");
  const QString lone = QStringLiteral("A") + QChar(0xD800) + QStringLiteral("B");
  for (const QString& text : {pair, lone}) {
    GlyphCanvas canvas;
    const std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
    EXPECT_EQ(WindowConversion().start(text).output.toStdString(),
              Conversion().start(units, canvas));
  }
}

TEST(DescribeFailure, NamesEachCauseAndKeepsItsDetail) {
  using Kind = ConversionError::Kind;
  const struct {
    std::exception_ptr failure;
    const char* cause;
    const char* detail;
  } cases[] = {
      {std::make_exception_ptr(std::bad_alloc()), "Out of memory", ""},
      {std::make_exception_ptr(ConversionError(Kind::kTextTooLong, "at most 9")), "too long",
       "at most 9"},
      {std::make_exception_ptr(ConversionError(Kind::kFontUnusable, "no strike")), "font",
       "no strike"},
      {std::make_exception_ptr(ConversionError(Kind::kInvalidText, "byte 3")),
       "cannot be converted", "byte 3"},
      {std::make_exception_ptr(std::runtime_error("disk on fire")), "failed", "disk on fire"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(describe_failure(c.failure).toStdString(),
                AllOf(HasSubstr(c.cause), HasSubstr(c.detail)));
  }
  // Only a text that really is too long is called one.
  EXPECT_THAT(describe_failure(cases[2].failure).toStdString(),
              ::testing::Not(HasSubstr("too long")));
}

}  // namespace
}  // namespace marquee8
