// Every term of the network on a state and a rate-constant block in which no
// two values are equal (drawn once from a seeded generator and written here),
// so that a constant or a species read in another's place changes a
// derivative. The expected derivatives are the reaction table written out
// term by term, left to right, on plain one-based arrays; the network
// promises bit-identical results, so they are compared exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "models/velmo67/network.h"

namespace {

// K[n] is kn (K[0] unused), Y[i] is Y(i) (Y[0] unused).
constexpr double K[79] = {0.0,    1.5819, 1.9786, 1.0416, 1.6906, 0.5769, 1.3985, 1.4711, 1.8034,
                          1.3539, 1.2975, 1.2708, 1.4535, 0.6121, 1.5476, 0.7717, 1.7388, 0.6359,
                          1.3635, 1.9648, 1.0302, 0.9263, 0.7362, 1.3863, 1.319,  1.1889, 1.2578,
                          1.3523, 0.9386, 0.9229, 0.7622, 1.8828, 0.7302, 0.9279, 1.9346, 1.8602,
                          1.7777, 1.8058, 0.9125, 1.3154, 1.3574, 0.9585, 1.9607, 1.7649, 1.4351,
                          1.1597, 0.5242, 1.8072, 1.9116, 1.2548, 1.8549, 1.1213, 1.7534, 1.9061,
                          1.7516, 1.2759, 1.375,  1.7259, 0.6842, 1.187,  1.6206, 0.7988, 0.7669,
                          1.2187, 1.8899, 1.7117, 1.0627, 1.7037, 1.1436, 1.5536, 0.8111, 1.9377,
                          1.847,  1.4058, 1.1398, 1.6237, 0.6935, 1.3469, 1.9676};
// Ca_lum (Y(12)) is a base for which exp(2.5*ln b), the power function's rule,
// differs from std::pow(b, 2.5), and b*(b*b) from both for the cube.
constexpr double Y[36] = {0.0,    0.6995, 1.6908, 1.0141, 0.9621, 1.2784, 1.1553, 1.907,  1.8896,
                          1.9356, 1.485,  1.3272, 1.8116, 1.8099, 1.5678, 0.54,   0.8147, 0.7345,
                          0.7162, 0.7204, 1.1991, 1.2561, 1.5115, 1.708,  1.8601, 1.8904, 1.9484,
                          1.8204, 0.7798, 1.9331, 0.651,  1.8492, 1.1507, 1.6334, 1.8141, 0.5104};

// The block as the main program fills it: kN in slot N up to k50, in slot N+2
// from k51 on, COOPSTIM in slot 81; slots 51, 52 and 82..84 hold values no
// derivative may use.
double& slot(int s) { return velmo67::ratcon[s - 1]; }

void load_block(double coopstim) {
  for (int n = 1; n <= 78; ++n) slot(n <= 50 ? n : n + 2) = K[n];
  slot(51) = 1.0e6;
  slot(52) = -1.0e6;
  slot(81) = coopstim;
  slot(82) = 3.0e5;
  slot(83) = 4.0e5;
  slot(84) = 5.0e5;
}

struct expected_network {
  double FE, FES, dy[36];
};

// The reaction table; P is Y(12)^COOPSTIM by the power function's rules.
expected_network reaction_table(double COOPSTIM, double P) {
  const double* k = K;
  const double* y = Y;
  expected_network e{};
  e.FE = k[41] / y[1] + ((y[1] / k[40]) * (y[1] / k[40]) + 1);
  e.FES = k[43] / y[1] + ((y[1] / k[42]) * (y[1] / k[42]) + 1);
  const double j1 = k[1] * y[3];
  const double j2 = k[2] * y[1];
  const double j3 = k[3] * y[2] * y[1] / (k[4] + y[1]);
  const double jMon = 4 * k[8] * y[5] * y[1];
  const double jMoff = 4 * k[9] * y[6];
  const double jBon = 4 * k[10] * y[7] * y[1];
  const double jBoff = 4 * k[11] * y[8];
  const double j23 = k[23] * y[11] * y[1] / (k[24] + y[1]);
  const double j27 = k[27] * y[12];
  const double jARCC = k[36] * y[18] * y[3] * y[17] / (k[37] + y[3]);
  const double jIP3R = k[38] * y[19] * y[12] / (e.FES * y[12] + e.FE * k[39]);
  const double jNCX = k[63] * y[1] * y[27] / (k[64] + y[1]);
  const double jSOCC = k[73] * y[3] * y[32] * y[30] / (y[3] + k[74]);

  double* d = e.dy;
  d[1] = j1 - j2 - j3 - jMon + jMoff - jBon + jBoff - j23 + j27 + jARCC + jIP3R + k[51] * y[22] -
         k[50] * y[1] * y[21] - jNCX + jSOCC;
  d[2] = k[5] * y[1] * y[9] - k[6] * y[2] / (y[2] + k[7]);
  d[3] = 0;
  d[4] = y[1];
  d[5] = k[16] - k[17] * y[5] - k[12] * y[5] * y[10] + k[13] * y[9] + k[9] * y[6] -
         k[8] * y[1] * y[5] + k[68] * y[28] - k[67] * y[5] * y[29];
  d[6] = k[8] * y[1] * y[5] - k[9] * y[6];
  d[7] = k[18] - k[19] * y[7] - k[10] * y[7] * y[1] + k[11] * y[8];
  d[8] = k[10] * y[7] * y[1] - k[11] * y[8];
  d[9] = k[12] * y[10] * y[5] - k[13] * y[9] + k[6] * y[2] / (y[2] + k[7]) - k[5] * y[1] * y[9];
  d[10] = k[14] - k[15] * y[10] - k[12] * y[10] * y[5] + k[13] * y[9];
  d[11] = k[20] - k[21] * y[11] * y[12] / (y[11] + k[22]);
  d[12] = j23 - j27 - 30 * k[25] * y[12] * y[13] + 30 * k[26] * y[14] -
          COOPSTIM * k[71] * y[30] * P + COOPSTIM * k[72] * y[31] - jIP3R;
  d[13] = k[28] - k[29] * y[13] - k[25] * y[12] * y[13] + k[26] * y[14];
  d[14] = k[25] * y[12] * y[13] - k[26] * y[14];
  d[15] = k[30] - k[31] * y[15] - k[34] * y[15] * y[16] + k[35] * y[17];
  d[16] = k[32] - k[33] * y[16] - k[34] * y[15] * y[16] + k[35] * y[17];
  d[17] = k[34] * y[15] * y[16] - k[35] * y[17];
  d[18] = k[44] - k[45] * y[18];
  d[19] = k[77] * y[20] * y[33] - k[78] * y[19] * (y[1] + 1);
  d[20] = k[46] * y[26] - k[47] * y[20] - k[77] * y[20] * y[33] + k[78] * y[19] * (y[1] + 1);
  d[21] = k[51] * y[22] - k[50] * y[1] * y[21];
  d[22] = k[50] * y[1] * y[21] - k[51] * y[22];
  d[23] = k[52] - k[53] * y[23] - k[54] * y[23] * y[24] + k[55] * y[25];
  d[24] = k[58] - k[59] * y[24] - k[54] * y[23] * y[24] + k[55] * y[25];
  d[25] = k[54] * y[23] * y[24] - k[55] * y[25];
  d[26] = k[56] * y[25] - k[57] * y[26];
  d[27] = k[60] * y[28] * y[1] - k[61] * y[27] / (y[27] + k[62]);
  d[28] =
      k[67] * y[5] * y[29] - k[68] * y[28] - k[60] * y[28] * y[1] + k[61] * y[27] / (y[27] + k[62]);
  d[29] = k[65] - k[66] * y[29] - k[67] * y[5] * y[29] + k[68] * y[28];
  d[30] = k[69] - k[70] * y[30] - k[71] * y[30] * P + k[72] * y[31];
  d[31] = k[71] * y[30] * P - k[72] * y[31];
  d[32] = k[75] - k[76] * y[32];
  d[33] = k[48] - k[49] * y[33] - k[77] * y[20] * y[33] + k[78] * y[19] * (y[1] + 1);
  d[34] = y[12];
  d[35] = y[9];
  return e;
}

// e^(c*ln b) as the platform's exp and log give it when the program runs (the
// compiler would fold constant arguments with its own rounding).
double exp_c_ln_b(double b, double c) {
  volatile double base = b;
  return std::exp(c * std::log(base));
}

// fex on the state with NEQ `neq`; YDOT(i) at [i], untouched elements stay NaN.
struct network_call {
  double y[35];
  double ydot[36];
  explicit network_call(int neq) {
    std::memcpy(y, Y + 1, sizeof y);
    for (double& d : ydot) d = std::nan("");
    double t = 7.0;
    velmo67::fex(&neq, &t, y, ydot + 1);
  }
};

void expect_network(const expected_network& e, int neq) {
  const network_call c(neq);
  for (int i = 1; i <= neq; ++i) EXPECT_EQ(c.ydot[i], e.dy[i]) << "dY(" << i << ")/dt";
  for (int i = neq + 1; i <= 35; ++i) EXPECT_TRUE(std::isnan(c.ydot[i])) << "YDOT(" << i << ")";
  EXPECT_EQ(slot(51), e.FE);
  EXPECT_EQ(slot(52), e.FES);
  EXPECT_EQ(0, std::memcmp(c.y, Y + 1, sizeof c.y)) << "the state is only read";
  EXPECT_EQ(slot(82), 3.0e5);
  EXPECT_EQ(slot(83), 4.0e5);
  EXPECT_EQ(slot(84), 5.0e5);
  for (int n = 1; n <= 78; ++n) EXPECT_EQ(slot(n <= 50 ? n : n + 2), K[n]) << "k" << n;
}

TEST(NetworkTerms, EveryDerivativeWithANonIntegralCooperativity) {
  // A non-integral exponent: e^(c*ln b).
  load_block(2.5);
  expect_network(reaction_table(2.5, exp_c_ln_b(Y[12], 2.5)), 35);
}

TEST(NetworkTerms, EveryDerivativeWithAnIntegralCooperativity) {
  // An integral exponent: repeated squaring, b^3 = b * (b * b).
  load_block(3.0);
  expect_network(reaction_table(3.0, Y[12] * (Y[12] * Y[12])), 35);
}

// velmo65 runs the same network with NEQ 33: the first 33 derivatives, and
// nothing written for the two integrals it does not have.
TEST(NetworkTerms, ThirtyThreeEquationsForVelmo65) {
  load_block(2.5);
  expect_network(reaction_table(2.5, exp_c_ln_b(Y[12], 2.5)), 33);
}

}  // namespace
