// What crosses between Qt and the core: UTF-16 text unchanged, and each failure in its own words.
#include "core_adapter.h"

#include <gmock/gmock.h>

#include <new>
#include <stdexcept>

#include "conversion_error.h"

namespace marquee8 {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(WindowConversion, CountsTheTextsUtf16CodeUnits) {
  // Six columns a code unit, as the classic input box counts: a surrogate pair is one glyph over
  // two code units, a lone surrogate a box of its own. Code points or UTF-8 bytes count less or
  // more.
  const struct {
    QString text;
    qsizetype columns;
    const char* length_line;
  } cases[] = {
      {QString::fromUtf8("8 \xE6\x95\xB8 \xF0\x9F\x98\x80"), 37, "int slen= 44;"},
      {QStringLiteral("A") + QChar(0xD800) + QStringLiteral("B"), 19, "int slen= 26;"},
  };
  for (const auto& c : cases) {
    const StartResult result = WindowConversion().start(c.text);
    EXPECT_EQ(result.columns, c.columns) << c.text.toStdString();
    EXPECT_TRUE(result.output.endsWith(QString::fromLatin1(c.length_line)))
        << result.output.toStdString();
  }
}

// Cancel reaches a pasted array as it reaches a Start.
TEST(WindowConversion, ItsProgressStopsAPastedArray) {
  WindowConversion conversion;
  conversion.set_progress([](qsizetype, qsizetype) { return false; });
  const QString array =
      QStringLiteral("byte a[]={") + QStringLiteral("1, ").repeated(50'000) + QStringLiteral("0};");
  try {
    conversion.show_array(array, false);
    ADD_FAILURE() << "shown in full";
  } catch (...) {
    EXPECT_TRUE(cancelled(std::current_exception()));
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
