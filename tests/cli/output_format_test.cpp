#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli_run.h"

namespace marquee8::testing {
namespace {

using ::testing::EndsWith;
using ::testing::StartsWith;

TEST(OutputFormat, DefaultDigitsGiveTwoCrLfTerminatedLines) {
  const std::string out = run_at_terminal({}).out;
  EXPECT_THAT(out, StartsWith("byte a[]={0,0,0,0,0,0,0,0,"));
  EXPECT_THAT(out, EndsWith("};\r\nint slen= 44;\r\n"));
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\r'), 2);
}

// The picture the README shows for the default digits.
TEST(Preview, DrawsTheSampledRowsTopRowFirst) {
  const CliRun run = run_with_stdin({"--preview", "825710"}, "");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            ".###...###..#####.#####...#....###...\n"
            "#...#.#...#.#.........#..##...#...#..\n"
            "#...#.....#.####.....#..#.#...#..##..\n"
            ".###.....#......#...#.....#...#.#.#..\n"
            "#...#...#.......#..#......#...##..#..\n"
            "#...#..#....#...#..#......#...#...#..\n"
            ".###..#####..###...#....#####..###...\n"
            ".....................................\n");
}

}  // namespace
}  // namespace marquee8::testing
