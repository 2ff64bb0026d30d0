// Method coefficients against the known Nordsieck vectors and error constants.
#include <gtest/gtest.h>

#include <cmath>
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

// Both methods fill l0..lq of every order they have and the three error
// constants of those orders; every other place of the tables keeps what the
// caller left there.
TEST(Coefficients, OnlyTheEntriesOfEachOrderAreWritten) {
  constexpr double left = 99.0;
  struct row {
    int method, max_order;
  } rows[] = {{1, 12}, {2, 5}};
  for (const row& r : rows) {
    double coef[12][13], test[12][3];
    for (auto& c : coef)
      for (double& v : c) v = left;
    for (auto& t : test)
      for (double& v : t) v = left;
    set_coefficients(r.method, coef, test);
    for (int q = 1; q <= 12; ++q) {
      const bool has_order = q <= r.max_order;
      for (int i = 0; i < 13; ++i) {
        const bool named = has_order && i <= q;
        EXPECT_EQ(coef[q - 1][i] == left, !named)
            << "method " << r.method << " order " << q << " l" << i;
      }
      if (has_order) {
        EXPECT_EQ(coef[q - 1][1], 1.0) << "method " << r.method << " order " << q;
      }
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(test[q - 1][i] == left, !has_order) << "method " << r.method << " order " << q;
      }
    }
    if (r.method == 1) {
      EXPECT_EQ(test[0][0], 0.0);   // no order 0 below the first
      EXPECT_EQ(test[11][2], 0.0);  // no order 13 above the last
    }
  }
}

// The Adams-Moulton constants through order 12 from the backward-difference
// form: g(j) are the series coefficients of -t/log(1-t), i.e. of
// 1/(1 + t/2 + t^2/3 + ...). l0 of order q is g(0)+...+g(q-1); the error
// constant of order q is 1/|g(q)|; the one below is 1/(|g(q-1)| q!).
TEST(Coefficients, AdamsConstantsUpToOrderTwelve) {
  double g[14] = {1.0};
  for (int j = 1; j < 14; ++j) {
    double sum = 0.0;
    for (int k = 0; k < j; ++k) sum += g[k] / (j - k + 1);
    g[j] = -sum;
  }
  double coef[12][13] = {};
  double test[12][3] = {};
  set_coefficients(1, coef, test);
  double l0 = 0.0, factorial = 1.0;
  for (int q = 1; q <= 12; ++q) {
    l0 += g[q - 1];
    factorial *= q;
    EXPECT_NEAR(coef[q - 1][0], l0, 1e-14 * l0) << "order " << q;
    EXPECT_NEAR(test[q - 1][1], 1.0 / std::fabs(g[q]), 1e-12 / std::fabs(g[q])) << "order " << q;
    if (q < 12) {
      EXPECT_NEAR(test[q - 1][2], 1.0 / std::fabs(g[q + 1]), 1e-12 / std::fabs(g[q + 1]))
          << "order " << q;
    }
    if (q > 1) {
      const double lower = 1.0 / (std::fabs(g[q - 1]) * factorial);
      EXPECT_NEAR(test[q - 1][0], lower, 1e-12 * lower) << "order " << q;
    }
  }
}

}  // namespace
}  // namespace integrator
