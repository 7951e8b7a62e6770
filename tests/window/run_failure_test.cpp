// Each kind of failure is named in the message the user sees.
#include "run_failure.h"

#include <gmock/gmock.h>

#include <new>
#include <stdexcept>

#include "font_face.h"

namespace marquee8 {
namespace {

std::string described(std::exception_ptr failure) {
  return describe_failure(std::move(failure)).toStdString();
}

TEST(DescribeFailure, NamesEachKindAndKeepsItsDetail) {
  using ::testing::HasSubstr;
  EXPECT_THAT(described(std::make_exception_ptr(std::bad_alloc())), HasSubstr("Out of memory"));
  EXPECT_THAT(described(std::make_exception_ptr(FontError("no 8 point strike"))),
              AllOf(HasSubstr("Font error"), HasSubstr("no 8 point strike")));
  EXPECT_THAT(described(std::make_exception_ptr(std::length_error("too many"))),
              AllOf(HasSubstr("too long"), HasSubstr("too many")));
  EXPECT_THAT(described(std::make_exception_ptr(std::runtime_error("disk on fire"))),
              HasSubstr("disk on fire"));
}

}  // namespace
}  // namespace marquee8
