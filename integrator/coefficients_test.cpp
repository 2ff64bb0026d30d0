// Method coefficients against the known Nordsieck vectors and error constants.
#include <gtest/gtest.h>

#include <vector>

#include "integrator/step.h"

namespace integrator {
namespace {

struct order_case {
  int method, order;
  std::vector<double> coef;  // l0, l1, ..., lq
  double test_lower, test_same, test_higher;
};

class Coefficients : public ::testing::TestWithParam<order_case> {};

TEST_P(Coefficients, MatchKnownValues) {
  const order_case& c = GetParam();
  double coef[12][13] = {};
  double test[12][3] = {};
  set_coefficients(c.method, coef, test);
  for (std::size_t i = 0; i < c.coef.size(); ++i)
    EXPECT_DOUBLE_EQ(coef[c.order - 1][i], c.coef[i]) << "coefficient " << i + 1;
  EXPECT_DOUBLE_EQ(test[c.order - 1][0], c.test_lower);
  EXPECT_DOUBLE_EQ(test[c.order - 1][1], c.test_same);
  EXPECT_DOUBLE_EQ(test[c.order - 1][2], c.test_higher);
}

// BDF: l from (x+1)...(x+q) normalised by its linear coefficient; the error
// constants are (q+1)/l0 and (q+2)/l0, the lower one 1/(q-1)!.
// Adams-Moulton: trapezoidal rule at order 2, error constants 1/12, 1/24, 19/720, 3/160.
INSTANTIATE_TEST_SUITE_P(
    LowOrders, Coefficients,
    ::testing::Values(
        order_case{2, 1, {1.0, 1.0}, 1.0, 2.0, 3.0},
        order_case{2, 2, {2.0 / 3, 1.0, 1.0 / 3}, 1.0, 4.5, 6.0},
        order_case{2, 3, {6.0 / 11, 1.0, 6.0 / 11, 1.0 / 11}, 0.5, 22.0 / 3, 55.0 / 6},
        order_case{2, 4, {12.0 / 25, 1.0, 7.0 / 10, 1.0 / 5, 1.0 / 50}, 1.0 / 6, 125.0 / 12, 12.5},
        order_case{1, 1, {1.0, 1.0}, 0.0, 2.0, 12.0},
        order_case{1, 2, {0.5, 1.0, 0.5}, 1.0, 12.0, 24.0},
        order_case{1, 3, {5.0 / 12, 1.0, 0.75, 1.0 / 6}, 2.0, 24.0, 720.0 / 19},
        order_case{
            1, 4, {3.0 / 8, 1.0, 11.0 / 12, 1.0 / 3, 1.0 / 24}, 1.0, 720.0 / 19, 160.0 / 3}));

TEST(Coefficients, AnyMethodOtherThanTwoIsAdams) {
  double adams[12][13] = {}, other[12][13] = {};
  double ta[12][3] = {}, to[12][3] = {};
  set_coefficients(1, adams, ta);
  set_coefficients(7, other, to);
  for (int q = 0; q < 12; ++q)
    for (int i = 0; i < 13; ++i) EXPECT_EQ(adams[q][i], other[q][i]);
  EXPECT_EQ(ta[11][2], 0.0);  // no order 13 to compare with
}

}  // namespace
}  // namespace integrator
