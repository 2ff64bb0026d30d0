// The comparison under the golden check: what the mask hides, and that the
// first differing line is found with its line end.
#include "tests/golden/golden_compare.h"

#include <gtest/gtest.h>

#include <string>

namespace golden {
namespace {

TEST(GoldenMask, HidesOnlyTheRunStampAndTheCpuTimes) {
  struct {
    const char* text;
    const char* masked;
  } cases[] = {
      {" Run golden-v67 (10-Dec-26, 14:13:04)\r\n", " Run golden-v67 (DD-MON-YY, HH:MM:SS)\r\n"},
      {" Date: 01-Jan-99\n", " Date: DD-MON-YY\n"},
      {" Execution time (s):   0.110000\n System time    (s):   0.0100000\r\n",
       " Execution time (s): CPU\n System time    (s): CPU\r\n"},
      // Not a stamp: no such month, a one-digit day, a field of a row.
      {" 10-DEC-26 10-Dex-26 1-Dec-26 14:3:04\r\n", " 10-DEC-26 10-Dex-26 1-Dec-26 14:3:04\r\n"},
      {"  1.000000E-01, 2.500000E+01,-1.234500E-100\n",
       "  1.000000E-01, 2.500000E+01,-1.234500E-100\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(mask_run_stamp(c.text), c.masked) << c.text;
}

TEST(GoldenDifference, FindsTheFirstDifferingLineWithItsLineEnd) {
  struct {
    const char* name;
    std::string expected, actual;
    int line;  // 0: no difference
    std::size_t column;
  } cases[] = {
      {"same", "a\r\nb\r\n", "a\r\nb\r\n", 0, 0},
      {"empty", "", "", 0, 0},
      {"one byte", "a\r\nbcd\r\ne\r\n", "a\r\nbXd\r\ne\r\n", 2, 2},
      {"CR lost", "a\r\nb\r\n", "a\r\nb\n", 2, 2},
      {"CR added", "a\nb\n", "a\r\nb\n", 1, 2},
      {"last line end lost", "a\nb\n", "a\nb", 2, 2},
      {"line added", "a\n", "a\nb\n", 2, 1},
      {"line dropped", "a\nb\n", "a\n", 2, 1},
      {"all written, none expected", "", "x\n", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto d = first_difference(c.expected, c.actual);
    ASSERT_EQ(d.has_value(), c.line != 0);
    if (!d) continue;
    EXPECT_EQ(d->line, c.line);
    EXPECT_EQ(d->column, c.column);
  }
}

TEST(GoldenDifference, MessageShowsBothLinesWithTheirLineEnds) {
  const auto d = first_difference("a\r\n Phase   1\r\n", "a\r\n Phase   1\n");
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(describe("golden-v66_summary.txt", *d),
            "'golden-v66_summary.txt' differs from its expected file at line 2, column 11 "
            "(2 lines expected, 2 written)\n"
            "  expected: \" Phase   1\\r\\n\"\n"
            "  actual:   \" Phase   1\\n\"\n");
  const auto shorter = first_difference("a\n", "");
  ASSERT_TRUE(shorter.has_value());
  EXPECT_NE(describe("tmp", *shorter).find("  actual:   <end of file>\n"), std::string::npos);
}

}  // namespace
}  // namespace golden
