// Band iteration matrices against full ones.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

constexpr int cells = 20;
constexpr double rate = 100.0;
const double pi = std::acos(-1.0);

// 1-D diffusion with zero boundaries; the first sine mode decays exactly as
// exp(-rate * 4 sin^2(pi / (2 (cells + 1))) t).
void diffusion_f(int*, double*, double* y, double* ydot) {
  for (int i = 0; i < cells; ++i) {
    const double left = i > 0 ? y[i - 1] : 0.0;
    const double right = i + 1 < cells ? y[i + 1] : 0.0;
    ydot[i] = rate * (left - 2.0 * y[i] + right);
  }
}

void diffusion_jac(int*, double*, double*, int* ml, int* mu, double* pd, int* nrowpd) {
  const int ld = *nrowpd;
  const bool band = *ml != 0 || *mu != 0;
  for (int j = 1; j <= cells; ++j)
    for (int i = std::max(1, j - 1); i <= std::min(cells, j + 1); ++i) {
      const int row = band ? i - j + *mu + 1 : i;
      pd[(j - 1) * ld + (row - 1)] = i == j ? -2.0 * rate : rate;
    }
}

struct diffusion_result {
  std::vector<double> y;
  int steps, f_calls, jacobians;
};

diffusion_result run_diffusion(int mf) {
  reset_blocks();
  problem p(cells, mf);
  for (int i = 0; i < cells; ++i) p.y[i] = std::sin(pi * (i + 1) / (cells + 1));
  p.rtol[0] = 1e-6;
  p.atol[0] = 1e-10;
  p.iwork[0] = 1;
  p.iwork[1] = 1;
  p.tout = 0.5;
  p.call(diffusion_f, diffusion_jac);
  EXPECT_EQ(p.istate, 2) << "MF " << mf;
  return {p.y, p.steps(), p.f_calls(), p.jacobians()};
}

TEST(BandMatrix, DiffusionAgreesWithTheFullMatrixAndTheExactDecay) {
  const double s = std::sin(pi / (2.0 * (cells + 1)));
  const double decay = std::exp(-rate * 4.0 * s * s * 0.5);
  for (auto [full_mf, band_mf] : {std::pair{21, 24}, std::pair{22, 25}}) {
    const diffusion_result full = run_diffusion(full_mf);
    const diffusion_result band = run_diffusion(band_mf);
    for (int i = 0; i < cells; ++i) {
      const double exact = std::sin(pi * (i + 1) / (cells + 1)) * decay;
      EXPECT_NEAR(band.y[i], exact, 1e-4 * exact) << "MF " << band_mf << " cell " << i;
      EXPECT_NEAR(band.y[i], full.y[i], 1e-9) << "MF " << band_mf << " cell " << i;
    }
    EXPECT_NEAR(band.steps, full.steps, 2) << "MF " << band_mf;
  }
}

// With the full bandwidth the band path does the same arithmetic as the full
// one: every step and every value agree bit for bit.
TEST(BandMatrix, FullBandwidthOnRobertsonIsBitForBitTheFullMatrix) {
  for (auto [full_mf, band_mf] : {std::pair{21, 24}, std::pair{22, 25}}) {
    std::vector<double> outputs[2];
    int counts[2][3];
    for (int k = 0; k < 2; ++k) {
      reset_blocks();
      problem p(3, k == 0 ? full_mf : band_mf);
      robertson_values(p);
      p.iwork[0] = 2;
      p.iwork[1] = 2;
      for (p.tout = 0.4; p.tout < 5e10; p.tout *= 10.0) {
        p.call(robertson_f, robertson_jac);
        ASSERT_EQ(p.istate, 2);
        outputs[k].insert(outputs[k].end(), p.y.begin(), p.y.end());
        outputs[k].push_back(p.rwork[11]);  // H
      }
      counts[k][0] = p.steps();
      counts[k][1] = p.f_calls();
      counts[k][2] = p.jacobians();
    }
    ASSERT_EQ(outputs[0].size(), outputs[1].size());
    for (std::size_t i = 0; i < outputs[0].size(); ++i)
      EXPECT_EQ(outputs[0][i], outputs[1][i]) << "MF " << band_mf << " value " << i;
    for (int c = 0; c < 3; ++c) EXPECT_EQ(counts[0][c], counts[1][c]);
  }
}

}  // namespace
}  // namespace integrator::testing
