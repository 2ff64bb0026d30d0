// The small-value clamp: strictly below 1.0e-10 becomes 0.0, negative values
// and -0.0 included; 1.0e-10 itself, NaN and unlisted elements stay.
#include "models/calcium/clamp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace calcium {
namespace {

TEST(SmallValueClamp, OnlyListedElementsBelowTheLimit) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double in;
    double out;
  } cases[] = {{-3.0e-12, 0.0},    {-0.0, 0.0}, {9.9e-11, 0.0}, {1.0e-10, 1.0e-10},
               {2.0e-10, 2.0e-10}, {-1.0, 0.0}, {nan, nan}};
  for (const auto& c : cases) {
    double Y[3] = {c.in, c.in, c.in};
    const int listed[] = {0, 2};
    clamp_small_values(Y, listed);
    for (int e : listed) {
      if (std::isnan(c.out)) {
        EXPECT_TRUE(std::isnan(Y[e])) << c.in;
      } else {
        EXPECT_EQ(Y[e], c.out) << c.in;
        EXPECT_FALSE(std::signbit(Y[e]) && c.out == 0.0) << "-0.0 from " << c.in;
      }
    }
    if (std::isnan(c.in)) {
      EXPECT_TRUE(std::isnan(Y[1]));
    } else {
      EXPECT_EQ(std::signbit(Y[1]), std::signbit(c.in)) << c.in;
      EXPECT_EQ(Y[1], c.in) << "unlisted element changed";
    }
  }
}

}  // namespace
}  // namespace calcium
