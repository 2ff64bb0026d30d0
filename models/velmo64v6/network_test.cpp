// The right-hand side against a state whose derivatives were worked out by
// hand from the reaction scheme (kn = n, so a constant in the wrong slot or a
// wrong sign shows at once).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "models/velmo64v6/network.h"

namespace velmo64v6 {
namespace {

// Slots filled directly, so the kN -> slot mapping is tested too; slots 51
// and 52 get values that must be overwritten, never read as constants.
void fill_block_with_k_equal_n() {
  for (int s = 1; s <= ratcon_slots; ++s) ratcon[s - 1] = s <= 50 ? s : s - 2;
  ratcon[calcium::fe_slot - 1] = 1.0e6;
  ratcon[calcium::fes_slot - 1] = -1.0e6;
}

struct hand_state {
  double y[NEQ];
  hand_state() {
    const double v[NEQ] = {2, 3, 5, 7, 1, 2, 3, 1, 2, 4, 2, 4, 1, 2, 1,
                           2, 3, 2, 3, 2, 1, 2, 1, 2, 3, 1, 1, 2, 3};
    for (int i = 0; i < NEQ; ++i) y[i] = v[i];
  }
};

TEST(Velmo64v6Network, DerivativesOfAHandComputedState) {
  fill_block_with_k_equal_n();
  hand_state s;
  double ydot[NEQ];
  int neq = NEQ;
  double t = 0.0;
  fex(&neq, &t, s.y, ydot);

  // FE = k41/Ca + (Ca^2/k40 + 1), FES likewise with k43, k42; Ca = 2.
  const double fe = 41.0 / 2 + (4.0 / 40 + 1);
  const double fes = 43.0 / 2 + (4.0 / 42 + 1);
  EXPECT_DOUBLE_EQ(ratcon[calcium::fe_slot - 1], 21.6);
  EXPECT_DOUBLE_EQ(ratcon[calcium::fes_slot - 1], fes);

  const double j23 = 23.0 * 2 * 2 / 26;
  const double jarcc = 36.0 * 3 * 2 * 5 / 42;
  const double jip3r = 38.0 * 3 * 2 * 4 / (fes * 4 + fe * 39);  // IP3R * IP3, no complex
  const double jncx = 63.0 * 2 * 1 / 66;
  // j1 - j2 - j3 - jMon + jMoff - jBon + jBoff - j23 + j27 + jARCC + jIP3R + k51 CaInd - k50 Ca Ind
  // - jNCX
  const double dca =
      5.0 - 4 - 3 - 64 + 72 - 240 + 44 - j23 + 108 + jarcc + jip3r + 102 - 100 - jncx;

  const double expected[NEQ] = {
      dca,
      20 - 18.0 / 10,           // PMCA.M*
      0,                        // Ca_ext
      2,                        // Ca_cyt_int
      -86,                      // M
      -2,                       // MCa4
      -88,                      // B
      49,                       // BCa4
      48 - 26 + 1.8 - 20,       // PMCA.M
      -68,                      // PMCA
      40 - 168.0 / 24,          // SERCA: made at k20 * Ca_cyt
      j23 - 108 - 3000 + 1560,  // Ca_lum: no jIP3R term
      -49,                      // L
      48,                       // LCa30
      36,
      3,
      -37,  // S, R, R.S
      -46,  // ARCC
      -99,  // IP3R
      -48,  // IP3
      2,
      -2,  // Ind, Cacyt.Ind
      56,
      -3,
      -57,               // S2, Gprot, GS2
      111,               // PLC
      240 - 61.0 / 63,   // NCX.M*
      -175 + 61.0 / 63,  // NCX.M
      -198,              // NCX
  };
  for (int i = 0; i < NEQ; ++i)
    EXPECT_NEAR(ydot[i], expected[i], 1e-12 * (1 + std::fabs(expected[i]))) << "element " << i + 1;
}

TEST(Velmo64v6Network, EdgeStates) {
  int neq = NEQ;
  double t = 0.0;
  double ydot[NEQ];

  // All process constants zero: only the running integral moves. (With k39
  // to k43 zero as well, jIP3R would be 0/NaN: K1E = 0 makes FE infinite and
  // FE * k39 is then NaN.)
  for (double& slot : ratcon) slot = 0.0;
  for (int n = 39; n <= 43; ++n) k(n) = 1.0;
  {
    hand_state s;
    fex(&neq, &t, s.y, ydot);
    for (int i = 0; i < NEQ; ++i)
      EXPECT_EQ(ydot[i], i == Ca_cyt_int ? 2.0 : 0.0) << "element " << i + 1;
  }
  for (double& slot : ratcon) slot = 0.0;
  {
    hand_state s;
    fex(&neq, &t, s.y, ydot);
    EXPECT_TRUE(std::isnan(ydot[Ca_cyt]));
    EXPECT_EQ(ydot[Ca_lum], 0.0);
  }

  // A clamped Ca_cyt of 0 makes FE and FES infinite: jIP3R vanishes while
  // Ca_lum > 0, and is NaN once Ca_lum is 0 too.
  fill_block_with_k_equal_n();
  hand_state s;
  s.y[Ca_cyt] = 0.0;
  fex(&neq, &t, s.y, ydot);
  EXPECT_TRUE(std::isinf(ratcon[calcium::fe_slot - 1]));
  EXPECT_TRUE(std::isinf(ratcon[calcium::fes_slot - 1]));
  // Ca = 0: j1 + jMoff + jBoff + j27 + jARCC + k51 CaInd
  EXPECT_NEAR(ydot[Ca_cyt], 5.0 + 72 + 44 + 108 + 36.0 * 3 * 2 * 5 / 42 + 102, 1e-12 * 400);
  s.y[Ca_lum] = 0.0;
  fex(&neq, &t, s.y, ydot);
  EXPECT_TRUE(std::isnan(ydot[Ca_cyt]));
  EXPECT_FALSE(std::isnan(ydot[Ca_lum]));
}

}  // namespace
}  // namespace velmo64v6
