// velmo64v6's output-step quantities on a state and rate constants in which
// no two values are equal (drawn once from a seeded generator and written
// here), against the formulas written out with their parentheses on plain
// one-based arrays, compared exactly.
#include <gtest/gtest.h>

#include "models/velmo64v6/derived.h"
#include "models/velmo64v6/network.h"

namespace {

// K[n] is kn (K[0] unused), Y[i] is Y(i) (Y[0] unused).
constexpr double K[69] = {0.0,    1.2448, 0.6819, 1.1448, 1.2635, 1.5647, 1.7278, 0.8719, 1.7211,
                          0.5149, 1.9674, 1.5755, 1.0366, 0.7184, 0.9371, 1.7345, 1.7686, 1.4464,
                          1.6846, 0.5143, 1.7052, 1.5857, 0.8898, 1.5807, 1.1309, 1.42,   0.9508,
                          1.3709, 1.2031, 0.6179, 1.681,  0.9646, 1.6535, 0.7615, 0.5696, 1.8026,
                          0.8575, 1.9235, 0.8963, 0.783,  1.8741, 1.3452, 0.6096, 1.6523, 1.1498,
                          0.9708, 1.2014, 1.6723, 1.8471, 1.487,  1.9667, 0.7881, 1.9321, 1.719,
                          1.7202, 1.5815, 1.2044, 1.914,  1.1422, 0.7095, 1.778,  1.126,  1.3959,
                          1.9398, 1.7293, 1.9178, 1.1446, 1.3773, 1.7905};
constexpr double Y[30] = {0.0,    1.4503, 0.5829, 0.9028, 1.0737, 1.1936, 1.2184, 1.9603,
                          1.5997, 1.5661, 0.7728, 1.1946, 0.72,   1.4331, 1.7221, 0.9757,
                          0.5201, 1.6195, 1.4542, 1.416,  1.8508, 0.5893, 0.9982, 1.7753,
                          1.5204, 0.5065, 1.6751, 0.6408, 1.1532, 0.6493};
constexpr double TPRINT = 0.8353;

TEST(Velmo64v6DerivedTerms, EveryQuantityWithItsOwnParentheses) {
  for (int n = 1; n <= 68; ++n) velmo64v6::ratcon[(n <= 50 ? n : n + 2) - 1] = K[n];
  velmo64v6::ratcon[50] = 1.0e6;  // slots 51 and 52: fex's, not read here
  velmo64v6::ratcon[51] = -1.0e6;

  const double* k = K;
  const double Ca_cyt = Y[1], PMCA_M_star = Y[2], Ca_ext = Y[3], Ca_cyt_int = Y[4], M = Y[5],
               MCa4 = Y[6], B = Y[7], BCa4 = Y[8], PMCA_M = Y[9], PMCA = Y[10], SERCA = Y[11],
               Ca_lum = Y[12], L = Y[13], LCa30 = Y[14], S = Y[15], R = Y[16], R_S = Y[17],
               ARCC = Y[18], IP3R = Y[19], IP3 = Y[20], Ind = Y[21], Cacyt_Ind = Y[22], S2 = Y[23],
               Gprot = Y[24], GS2 = Y[25], NCX_M_star = Y[27], NCX_M = Y[28], NCX = Y[29];
  const double FE = k[41] / Ca_cyt + (Ca_cyt * Ca_cyt / k[40] + 1.0);
  const double FES = k[43] / Ca_cyt + (Ca_cyt * Ca_cyt / k[42] + 1.0);

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
  const double jIP3R = ((k[38] * IP3R) * IP3) * Ca_lum / ((FES * Ca_lum) + (FE * k[39]));
  const double jNCX = ((k[63] * Ca_cyt) * NCX_M_star) / (k[64] + Ca_cyt);
  const double jtot =
      ((((((((((((j1 - j2) - j3) - jMon) + jMoff) - jBon) + jBoff) - j23) + j27) + jARCC) + jIP3R) -
        jNCX) -
       ((Ca_cyt * k[50]) * Ind)) +
      (k[51] * Cacyt_Ind);

  velmo64v6::step_quantities q;
  velmo64v6::form_step_quantities(q, Y + 1, TPRINT);
  const struct {
    const char* name;
    double got, expected;
  } cases[] = {
      {"j1", q.j1, j1},
      {"j2", q.j2, j2},
      {"j3", q.j3, j3},
      {"j2+j3", q.j2_plus_j3, j2 + j3},
      {"jMon", q.jMon, jMon},
      {"jMoff", q.jMoff, jMoff},
      {"jBon", q.jBon, jBon},
      {"jBoff", q.jBoff, jBoff},
      {"j23", q.j23, j23},
      {"j27", q.j27, j27},
      {"jARCC", q.jARCC, jARCC},
      {"jIP3R", q.jIP3R, jIP3R},
      {"jNCX", q.jNCX, jNCX},
      {"jtot", q.jtot, jtot},
      {"Ca_cyt_set (PMCA)", q.Ca_cyt_set_PMCA, k[6] / (k[5] * PMCA_M)},
      {"Ca_cyt_set (SERCA)", q.Ca_cyt_set_SERCA, (k[21] * Ca_lum) / k[20]},
      {"Ca_ER_set (theor)", q.Ca_ER_set_theor, (k[20] * Ca_cyt) / k[21]},
      {"Ca_cyt_set (NCX)", q.Ca_cyt_set_NCX, k[61] / (k[60] * NCX_M)},
      {"<Ca_cyt>", q.mean_Ca_cyt, Ca_cyt_int / TPRINT},
      {"free & bound Ca", q.free_bound_Ca, (Ca_cyt + 4.0 * MCa4) + 4.0 * BCa4},
      {"total M", q.total_M, M + MCa4},
      {"total B", q.total_B, B + BCa4},
      {"total PMCA", q.total_PMCA, (PMCA_M + PMCA) + PMCA_M_star},
      {"total NCX", q.total_NCX, (NCX_M_star + NCX_M) + NCX},
      {"total Ca in ER", q.total_Ca_ER, 30.0 * LCa30 + Ca_lum},
      {"total L", q.total_L, LCa30 + L},
      {"total S", q.total_S, R_S + S},
      {"total R", q.total_R, R + R_S},
      {"total S2", q.total_S2, S2 + GS2},
      {"total G", q.total_G, GS2 + Gprot},
      // No STIM branch, no Ca_lum or PMCA.M integrals, no Ca_lum_set (SERCA).
      {"jSOCC", q.jSOCC, 0.0},
      {"Ca_lum_set (SERCA)", q.Ca_lum_set_SERCA, 0.0},
      {"<Ca_lum>", q.mean_Ca_lum, 0.0},
      {"<PMCA.M>", q.mean_PMCA_M, 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
  EXPECT_EQ(velmo64v6::pmca_set_point(Y + 1), k[6] / (k[5] * PMCA_M));
  EXPECT_EQ(velmo64v6::ratcon[50], 1.0e6);
  EXPECT_EQ(velmo64v6::ratcon[51], -1.0e6);
}

}  // namespace
