// Full and band LU factorisation and solves.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "integrator/lu.h"

namespace integrator {
namespace {

// Column-major n x n.
struct dense {
  int n;
  std::vector<double> a;
  explicit dense(int n) : n(n), a(static_cast<std::size_t>(n) * n, 0.0) {}
  double& operator()(int i, int j) { return a[(j - 1) * n + (i - 1)]; }
};

std::vector<double> multiply(dense m, const std::vector<double>& x, bool transposed) {
  std::vector<double> b(m.n, 0.0);
  for (int i = 1; i <= m.n; ++i)
    for (int j = 1; j <= m.n; ++j) b[i - 1] += (transposed ? m(j, i) : m(i, j)) * x[j - 1];
  return b;
}

// A banded test matrix with its full copy; not diagonally dominant, so
// pivoting takes place.
dense banded_matrix(int n, int ml, int mu) {
  dense m(n);
  for (int j = 1; j <= n; ++j)
    for (int i = std::max(1, j - mu); i <= std::min(n, j + ml); ++i)
      m(i, j) = std::sin(1.0 + 3.0 * i + 7.0 * j) + (i == j ? 0.1 : 0.0);
  return m;
}

std::vector<double> to_band(dense m, int ml, int mu) {
  const int lda = 2 * ml + mu + 1;
  const int mrow = ml + mu + 1;
  std::vector<double> abd(static_cast<std::size_t>(lda) * m.n, 0.0);
  for (int j = 1; j <= m.n; ++j)
    for (int i = std::max(1, j - mu); i <= std::min(m.n, j + ml); ++i)
      abd[(j - 1) * lda + (mrow + i - j - 1)] = m(i, j);
  return abd;
}

TEST(LuFactor, SolvesAndTransposedSolvesRecoverTheSolution) {
  dense m = banded_matrix(6, 5, 5);  // full
  std::vector<double> x = {1, -2, 3, -4, 5, -6};
  for (int job : {0, 1}) {
    dense f = m;
    std::vector<int> p(6);
    int status = -1;
    lu_factor(f.a.data(), 6, 6, p.data(), status);
    ASSERT_EQ(status, 0);
    std::vector<double> b = multiply(m, x, job != 0);
    lu_solve(f.a.data(), 6, 6, p.data(), b.data(), job);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(b[i], x[i], 1e-12) << "job " << job;
  }
}

TEST(LuFactor, PivotTiesGoToTheFirstRowAndMultipliersAreNegated) {
  dense m(2);
  m(1, 1) = 2.0;  // |2| ties with |-2| below: no exchange
  m(2, 1) = -2.0;
  m(1, 2) = 1.0;
  m(2, 2) = 3.0;
  int p[2];
  int status = -1;
  lu_factor(m.a.data(), 2, 2, p, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 2);
  EXPECT_EQ(m(2, 1), 1.0);  // -(-2/2)
  EXPECT_EQ(m(2, 2), 4.0);
}

TEST(LuFactor, ZeroPivotsReportTheirColumnTheLastOneWinning) {
  dense m(3);  // zero first and last columns
  m(1, 2) = 1.0;
  m(2, 2) = 1.0;
  int p[3];
  int status = 0;
  lu_factor(m.a.data(), 3, 3, p, status);
  EXPECT_EQ(status, 3);  // column 1 first, overwritten by the zero last pivot

  dense one(1);
  lu_factor(one.a.data(), 1, 1, p, status);
  EXPECT_EQ(status, 1);
  one(1, 1) = 4.0;
  lu_factor(one.a.data(), 1, 1, p, status);
  EXPECT_EQ(status, 0);
  double b = 2.0;
  lu_solve(one.a.data(), 1, 1, p, &b, 0);
  EXPECT_EQ(b, 0.5);
}

struct band_case {
  int n, ml, mu;
};

class BandFactor : public ::testing::TestWithParam<band_case> {};

TEST_P(BandFactor, AgreesWithTheFullSolveInBothDirections) {
  const auto [n, ml, mu] = GetParam();
  dense m = banded_matrix(n, ml, mu);
  std::vector<double> x(n);
  for (int i = 0; i < n; ++i) x[i] = 1.0 + 0.5 * i * (i % 2 ? -1 : 1);
  for (int job : {0, 1}) {
    // Garbage in the fill-in rows: the factorisation must clear them itself.
    std::vector<double> abd = to_band(m, ml, mu);
    const int lda = 2 * ml + mu + 1;
    for (int j = 0; j < n; ++j)
      for (int r = 0; r < ml; ++r) abd[j * lda + r] = 99.0;
    std::vector<int> p(n);
    int status = -1;
    band_factor(abd.data(), lda, n, ml, mu, p.data(), status);
    ASSERT_EQ(status, 0);
    std::vector<double> b = multiply(m, x, job != 0);
    band_solve(abd.data(), lda, n, ml, mu, p.data(), b.data(), job);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], x[i], 1e-11) << "job " << job << " i " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BandFactor,
                         ::testing::Values(band_case{7, 1, 1}, band_case{7, 0, 2},
                                           band_case{7, 2, 0}, band_case{8, 2, 3},
                                           band_case{3, 2, 2}, band_case{1, 0, 0}));

TEST(BandFactor, ZeroPivotIsReported) {
  // Tridiagonal, second column zero on and below the diagonal after step 1.
  const int n = 3, ml = 1, mu = 1, lda = 4;
  std::vector<double> abd(lda * n, 0.0);
  auto at = [&](int i, int j) -> double& { return abd[(j - 1) * lda + (ml + mu + 1 + i - j - 1)]; };
  at(1, 1) = 1.0;
  at(2, 1) = 1.0;
  at(1, 2) = 1.0;
  at(2, 2) = 1.0;  // row 2 = row 1 in the leading 2x2
  at(3, 3) = 1.0;
  std::vector<int> p(n);
  int status = 0;
  band_factor(abd.data(), lda, n, ml, mu, p.data(), status);
  EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace integrator
