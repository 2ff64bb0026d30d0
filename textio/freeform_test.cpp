#include "textio/freeform.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

std::string real(double v) { return std::string(textio::freeform().real(v).view()); }
std::string single(float v) { return std::string(textio::freeform().single(v).view()); }

TEST(FreeformReal, FixedAndExponentForms) {
  struct c {
    double v;
    const char* want;  // after the line's leading blank
  };
  const c cases[] = {
      {1.5, "  1.50000000000000"},
      {0.25, "  0.250000000000000"},
      {123.0, "  123.000000000000"},
      {-2.5, " -2.50000000000000"},
      {0.1, "  0.100000000000000"},
      {1e14, "  100000000000000."},
      {123456789012344.5, "  123456789012345."},  // tie, away from zero
      {12345678901234.5, "  12345678901234.5"},
      {0.0, "  0.000000000000000"},
      {-0.0, "  0.000000000000000"},
      {0.001, "  1.000000000000000E-003"},
      {1e15, "  1.000000000000000E+015"},
      {-1e-300, " -1.000000000000000E-300"},
      {1e300, "  1.000000000000000E+300"},
      {0.09999999999999999, "  9.999999999999999E-002"},
      {0.0999999999999999999, "  0.100000000000000"},  // the double nearest is 0.1
      {std::numeric_limits<double>::infinity(), "  INF"},
      {-std::numeric_limits<double>::infinity(), " -INF"},
  };
  for (const c& k : cases) EXPECT_EQ(real(k.v), std::string(" ") + k.want) << k.v;
}

TEST(FreeformSingle, SixSignificantDigits) {
  struct c {
    float v;
    const char* want;
  };
  const c cases[] = {
      {0.1f, "  0.100000"},      {1.5f, "  1.50000"},
      {-2.5f, " -2.50000"},      {123456.0f, "  123456."},
      {999999.5f, "  1000000."},  // rounds up across the fixed range's top
      {1e6f, "  1.000000E+06"},  {1e-3f, "  1.000000E-03"},
      {0.05f, "  5.000000E-02"}, {3.4028235e38f, "  3.402823E+38"},
      {0.0f, "  0.000000"},      {-0.0f, "  0.000000"},
      {0.01f, "  1.000000E-02"}, {1.25f, "  1.25000"},
      {0.15625f, "  0.156250"},
  };
  for (const c& k : cases) EXPECT_EQ(single(k.v), std::string(" ") + k.want) << k.v;
}

TEST(FreeformLine, TextsAndNumbersSpacing) {
  // Texts stand back to back; a text after a number gets one blank.
  EXPECT_EQ(textio::freeform()
                .text("Run ")
                .text("abc       ")
                .text(" (")
                .text("10-Dec-26")
                .text(", ")
                .text("10:14:53")
                .text(")")
                .view(),
            " Run abc        (10-Dec-26, 10:14:53)");
  EXPECT_EQ(textio::freeform().text("a").integer(5).text("b").integer(-12).integer(0).view(),
            " a  5 b -12  0");
  EXPECT_EQ(textio::freeform().text("Execution time (s): ").single(1.25f).view(),
            " Execution time (s):   1.25000");
  EXPECT_EQ(textio::freeform().real(1.5).real(-0.25).view(),
            "   1.50000000000000 -0.250000000000000");
  EXPECT_EQ(textio::freeform().integer(-9223372036854775807LL - 1).view(),
            "  -9223372036854775808");
}

TEST(FreeformLine, BlankRecordAndEmptyLine) {
  EXPECT_EQ(textio::blank_record(), "  ");
  EXPECT_EQ(textio::freeform().text(" ").view(), textio::blank_record());
  EXPECT_EQ(textio::freeform().view(), " ");
}

TEST(FreeformLine, NeverWrapsAndCutsAtCapacity) {
  textio::freeform f;
  for (int k = 0; k < 200; ++k) f.real(1.0 / 3.0);
  EXPECT_EQ(f.view().size(), textio::freeform::capacity);
  EXPECT_EQ(f.view().find('\n'), std::string_view::npos);
  EXPECT_EQ(f.view().substr(0, 20), "   0.333333333333333");
}

}  // namespace
