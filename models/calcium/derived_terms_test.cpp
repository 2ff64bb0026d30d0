// The output step's derived quantities on a state and rate constants in which
// no two values are equal (drawn once from a seeded generator and written
// here), against the formulas written out with their parentheses on plain
// one-based arrays, compared exactly: a constant or a species read in
// another's place, or terms grouped otherwise, changes a result.
#include <gtest/gtest.h>

#include <cmath>

#include "models/calcium/derived.h"

namespace {

using namespace calcium;

// K[n] is kn (K[0] unused), Y[i] is Y(i) (Y[0] unused).
constexpr double K[79] = {0.0,    0.7192, 1.8744, 1.754,  1.6857, 0.5906, 1.4915, 0.6064, 1.6925,
                          1.2281, 1.6757, 1.3741, 0.5179, 1.0768, 1.0447, 1.6573, 1.399,  0.6731,
                          0.8396, 1.987,  0.5783, 1.6452, 0.5342, 1.4242, 1.2236, 1.5941, 0.9599,
                          0.5036, 1.9583, 0.7026, 1.7128, 1.6979, 1.1832, 0.8352, 1.0223, 1.6103,
                          0.5283, 0.9922, 0.9804, 1.7121, 1.4945, 1.5819, 1.2392, 1.9283, 1.2346,
                          0.5351, 0.7201, 1.1562, 0.9895, 1.4124, 1.7676, 1.8967, 0.7912, 1.1388,
                          1.9406, 1.4061, 0.9571, 0.6312, 0.8033, 0.5247, 0.9639, 1.9569, 0.6958,
                          0.925,  1.9101, 0.6465, 1.9873, 0.8981, 1.129,  1.6858, 1.2497, 1.0829,
                          1.1549, 1.3514, 1.5235, 1.6689, 1.1572, 1.0541, 1.6701};
constexpr double Y[36] = {0.0,    1.3405, 1.9504, 0.9442, 1.6213, 1.0103, 0.9712, 1.465,  0.7535,
                          1.7083, 1.2868, 1.2492, 1.7638, 1.7493, 1.99,   1.4113, 0.6242, 0.5131,
                          0.7869, 1.0897, 1.2558, 1.9107, 1.7134, 0.6167, 1.8892, 1.4933, 1.2886,
                          0.9679, 0.9738, 1.6816, 1.5021, 1.7449, 1.4023, 1.7787, 0.7367, 0.6051};
constexpr double TPRINT = 1.2313;

// The block by the slot rule; slots 51, 52 and 81 hold values no formula of
// the output step may use.
struct block {
  double slots[ratcon_slots] = {};
  block() {
    for (int n = 1; n <= 78; ++n) slots[(n <= 50 ? n : n + 2) - 1] = K[n];
    slots[50] = 1.0e6;
    slots[51] = -1.0e6;
    slots[80] = 3.0e6;
  }
};

TEST(DerivedTerms, EveryQuantityWithItsOwnParentheses) {
  const double* k = K;
  // Species by name, as the formulas read.
  const double Ca_cyt = Y[1], PMCA_M_star = Y[2], Ca_ext = Y[3], Ca_cyt_int = Y[4], M = Y[5],
               MCa4 = Y[6], B = Y[7], BCa4 = Y[8], PMCA_M = Y[9], PMCA = Y[10], SERCA = Y[11],
               Ca_lum = Y[12], L = Y[13], LCa30 = Y[14], S = Y[15], R = Y[16], R_S = Y[17],
               ARCC = Y[18], IP3R_IP3 = Y[19], Ind = Y[21], Cacyt_Ind = Y[22], S2 = Y[23],
               Gprot = Y[24], GS2 = Y[25], NCX_M_star = Y[27], NCX_M = Y[28], NCX = Y[29],
               STIM = Y[30], SOCC = Y[32], Ca_lum_int = Y[34], PMCA_M_int = Y[35];
  const double FE = k[41] / Ca_cyt + ((Ca_cyt / k[40]) * (Ca_cyt / k[40]) + 1);
  const double FES = k[43] / Ca_cyt + ((Ca_cyt / k[42]) * (Ca_cyt / k[42]) + 1);

  const double j1 = k[1] * Ca_ext;
  const double j2 = k[2] * Ca_cyt;
  const double j3 = ((k[3] * PMCA_M_star) * Ca_cyt) / (k[4] + Ca_cyt);
  const double jMon = ((k[8] * 4.0) * Ca_cyt) * M;
  const double jMoff = (k[9] * 4.0) * MCa4;
  const double jBon = ((k[10] * 4.0) * Ca_cyt) * B;
  const double jBoff = (4.0 * k[11]) * BCa4;
  const double j23 = ((k[23] * SERCA) * Ca_cyt) / (k[24] + Ca_cyt);
  const double j27 = Ca_lum * k[27];
  const double jARCC = (((k[36] * ARCC) * Ca_ext) * R_S) / (k[37] + Ca_ext);
  const double jIP3R = ((k[38] * IP3R_IP3) * Ca_lum) / ((FES * Ca_lum) + (FE * k[39]));
  const double jNCX = ((k[63] * Ca_cyt) * NCX_M_star) / (k[64] + Ca_cyt);
  const double jSOCC = (((k[73] * STIM) * SOCC) * Ca_ext) / (Ca_ext + k[74]);
  const double jtot =
      (((((((((((((j1 - j2) - j3) - jMon) + jMoff) - jBon) + jBoff) - j23) + j27) + jARCC) +
          jIP3R) +
         jSOCC) -
        jNCX) -
       ((Ca_cyt * k[50]) * Ind)) +
      (k[51] * Cacyt_Ind);
  const double mean_PMCA_M = PMCA_M_int / TPRINT;

  const block b;
  derived_quantities d;
  form_derived(d, Y + 1, rate_constants{b.slots}, TPRINT, true);
  const struct {
    const char* name;
    double got, expected;
  } cases[] = {
      {"j1", d.j1, j1},
      {"j2", d.j2, j2},
      {"j3", d.j3, j3},
      {"j2+j3", d.j2_plus_j3, j2 + j3},
      {"jMon", d.jMon, jMon},
      {"jMoff", d.jMoff, jMoff},
      {"jBon", d.jBon, jBon},
      {"jBoff", d.jBoff, jBoff},
      {"j23", d.j23, j23},
      {"j27", d.j27, j27},
      {"jARCC", d.jARCC, jARCC},
      {"jIP3R", d.jIP3R, jIP3R},
      {"jNCX", d.jNCX, jNCX},
      {"jSOCC", d.jSOCC, jSOCC},
      {"jtot", d.jtot, jtot},
      {"Ca_cyt_set (PMCA)", d.Ca_cyt_set_PMCA, k[6] / (k[5] * PMCA_M)},
      {"Ca_lum_set (SERCA)", d.Ca_lum_set_SERCA, k[20] / k[21]},
      {"Ca_cyt_set (NCX)", d.Ca_cyt_set_NCX, k[61] / (k[60] * NCX_M)},
      {"<Ca_cyt>", d.mean_Ca_cyt, Ca_cyt_int / TPRINT},
      {"<Ca_lum>", d.mean_Ca_lum, Ca_lum_int / TPRINT},
      {"<PMCA.M>", d.mean_PMCA_M, mean_PMCA_M},
      {"Ca_cyt_set (<PMCA.M>)", d.Ca_cyt_set_mean_PMCA_M, k[6] / (k[5] * mean_PMCA_M)},
      {"free & bound Ca", d.free_bound_Ca, (Ca_cyt + 4.0 * MCa4) + 4.0 * BCa4},
      {"total M", d.total_M, M + MCa4},
      {"total B", d.total_B, B + BCa4},
      {"total PMCA", d.total_PMCA, (PMCA_M + PMCA) + PMCA_M_star},
      {"total NCX", d.total_NCX, (NCX_M_star + NCX_M) + NCX},
      {"total Ca in ER", d.total_Ca_ER, 30.0 * LCa30 + Ca_lum},
      {"total L", d.total_L, LCa30 + L},
      {"total S", d.total_S, R_S + S},
      {"total R", d.total_R, R + R_S},
      {"total S2", d.total_S2, S2 + GS2},
      {"total G", d.total_G, GS2 + Gprot},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
  EXPECT_EQ(pmca_set_point(rate_constants{b.slots}, Y + 1), k[6] / (k[5] * PMCA_M));

  // velmo65's state has no Ca_lum and PMCA.M integrals: their averages and
  // set point stay as they were, everything else is formed alike.
  derived_quantities short_state;
  short_state.mean_Ca_lum = -1.0;
  short_state.mean_PMCA_M = -2.0;
  short_state.Ca_cyt_set_mean_PMCA_M = -3.0;
  form_derived(short_state, Y + 1, rate_constants{b.slots}, TPRINT, false);
  EXPECT_EQ(short_state.mean_Ca_lum, -1.0);
  EXPECT_EQ(short_state.mean_PMCA_M, -2.0);
  EXPECT_EQ(short_state.Ca_cyt_set_mean_PMCA_M, -3.0);
  EXPECT_EQ(short_state.jtot, jtot);
  EXPECT_EQ(short_state.jSOCC, jSOCC);
  EXPECT_EQ(short_state.Ca_lum_set_SERCA, k[20] / k[21]);
}

// The smaller root of x^2 - (Kd + M + P) x + M P = 0, with its parentheses.
TEST(DerivedTerms, PmcaMEstimateWithItsOwnParentheses) {
  const double Kd = K[13] / K[12], M = Y[5], P = (Y[9] + Y[10]) + Y[2];
  const double expected =
      0.5 *
      ((Kd + M + P) - std::sqrt((((Kd + M) * (Kd + M) + (2.0 * Kd) * P) - (2.0 * P) * M) + P * P));
  EXPECT_EQ(pmca_m_estimate(Kd, M, P), expected);
}

}  // namespace
