// Every term of velmo64v6's network on a state and a rate-constant block in
// which no two values are equal (drawn once from a seeded generator and
// written here), so that a constant or a species read in another's place
// changes a derivative. The expected derivatives are the reaction table
// written out term by term in its order of evaluation, on plain one-based
// arrays, and compared exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "models/velmo64v6/network.h"

namespace {

// K[n] is kn (K[0] unused), Y[i] is Y(i) (Y[0] unused).
constexpr double K[69] = {0.0,    1.2996, 1.9885, 1.0418, 0.7214, 1.1688, 1.7645, 1.8632, 1.6192,
                          1.7063, 1.9517, 1.798,  1.0576, 0.8067, 0.9729, 1.9172, 1.9708, 1.2898,
                          1.9925, 1.8972, 1.948,  1.8107, 0.6369, 0.696,  1.4428, 0.5229, 1.2632,
                          1.8063, 1.2909, 0.5209, 1.1288, 1.183,  0.9548, 0.9355, 1.2129, 1.7564,
                          1.1047, 1.0737, 1.8693, 1.1927, 1.6182, 0.6496, 1.4994, 1.6987, 1.8062,
                          0.9388, 1.1797, 1.8735, 1.8449, 1.8631, 1.9477, 1.622,  0.7952, 0.6941,
                          1.0653, 1.3727, 1.9911, 1.8363, 1.809,  1.8999, 1.0594, 1.9536, 1.8248,
                          1.814,  0.765,  1.6869, 1.6879, 1.4465, 1.7913};
constexpr double Y[30] = {0.0,    0.7206, 0.8455, 1.7615, 1.344,  1.6591, 1.9938, 0.9309,
                          1.473,  1.6752, 1.6025, 1.579,  1.6034, 0.6708, 0.5285, 1.5266,
                          0.8778, 1.7076, 1.0326, 1.9297, 1.1832, 1.0161, 0.7447, 1.0349,
                          1.1887, 1.1616, 1.9399, 1.0115, 1.5831, 1.7575};

// The block as the main program fills it, by the slot rule up to k68 (slot
// 70); slots 51 and 52 hold values no derivative may use.
double& slot(int s) { return velmo64v6::ratcon[s - 1]; }
void load_block() {
  for (int n = 1; n <= 68; ++n) slot(n <= 50 ? n : n + 2) = K[n];
  slot(51) = 1.0e6;
  slot(52) = -1.0e6;
}

TEST(Velmo64v6NetworkTerms, EveryDerivativeInItsOrderOfEvaluation) {
  load_block();
  const double* k = K;
  const double* y = Y;
  const double FE = k[41] / y[1] + (y[1] * y[1] / k[40] + 1.0);
  const double FES = k[43] / y[1] + (y[1] * y[1] / k[42] + 1.0);
  const double j1 = k[1] * y[3];
  const double j2 = k[2] * y[1];
  const double j3 = k[3] * y[1] * y[2] / (k[4] + y[1]);
  const double jMon = 4 * k[8] * y[1] * y[5];
  const double jMoff = 4 * k[9] * y[6];
  const double jBon = 4 * k[10] * y[1] * y[7];
  const double jBoff = 4 * k[11] * y[8];
  const double j23 = k[23] * y[11] * y[1] / (k[24] + y[1]);
  const double j27 = k[27] * y[12];
  const double jARCC = k[36] * y[17] * y[18] * y[3] / (y[3] + k[37]);
  const double jIP3R = k[38] * y[19] * y[20] * y[12] / (FES * y[12] + FE * k[39]);
  const double jNCX = k[63] * y[1] * y[27] / (k[64] + y[1]);
  const double inner = j1 - j2 - j3 - jMon + jMoff - jBon + jBoff - j23 + j27;

  double d[30];
  d[1] = ((((jARCC + inner) + jIP3R) + k[51] * y[22]) - k[50] * y[1] * y[21]) - jNCX;
  d[2] = k[5] * y[1] * y[9] - k[6] * y[2] / (y[2] + k[7]);
  d[3] = 0;
  d[4] = y[1];
  d[5] = k[16] - k[17] * y[5] - k[12] * y[5] * y[10] + k[13] * y[9] + k[9] * y[6] -
         k[8] * y[1] * y[5] + k[68] * y[28] - k[67] * y[5] * y[29];
  d[6] = k[8] * y[1] * y[5] - k[9] * y[6];
  d[7] = k[18] - k[19] * y[7] - k[10] * y[1] * y[7] + k[11] * y[8];
  d[8] = k[10] * y[1] * y[7] - k[11] * y[8];
  d[9] = k[12] * y[10] * y[5] - k[13] * y[9] + k[6] * y[2] / (y[2] + k[7]) - k[5] * y[1] * y[9];
  d[10] = k[14] - k[15] * y[10] - k[12] * y[10] * y[5] + k[13] * y[9];
  d[11] = k[20] * y[1] - k[21] * y[11] * y[12] / (y[11] + k[22]);
  d[12] = j23 - j27 - 30.0 * k[25] * y[12] * y[13] + 30.0 * k[26] * y[14];
  d[13] = k[28] - k[29] * y[13] - k[25] * y[12] * y[13] + k[26] * y[14];
  d[14] = k[25] * y[12] * y[13] - k[26] * y[14];
  d[15] = k[30] - k[31] * y[15] - k[34] * y[15] * y[16] + k[35] * y[17];
  d[16] = k[32] - k[33] * y[16] - k[34] * y[15] * y[16] + k[35] * y[17];
  d[17] = k[34] * y[15] * y[16] - k[35] * y[17];
  d[18] = k[44] - k[45] * y[18];
  d[19] = k[48] - k[49] * y[19];
  d[20] = k[46] * y[26] - k[47] * y[20];
  d[21] = k[51] * y[22] - k[50] * y[1] * y[21];
  d[22] = k[50] * y[1] * y[21] - k[51] * y[22];
  d[23] = k[52] - k[53] * y[23] - k[54] * y[23] * y[24] + k[55] * y[25];
  d[24] = k[55] * y[25] - k[54] * y[23] * y[24] + k[58] - k[59] * y[24];
  d[25] = k[54] * y[23] * y[24] - k[55] * y[25];
  d[26] = k[56] * y[25] - k[57] * y[26];
  d[27] = k[60] * y[1] * y[28] - k[61] * y[27] / (y[27] + k[62]);
  d[28] =
      k[67] * y[5] * y[29] - k[68] * y[28] - k[60] * y[1] * y[28] + k[61] * y[27] / (y[27] + k[62]);
  d[29] = k[65] - k[66] * y[29] - k[67] * y[5] * y[29] + k[68] * y[28];

  double state[29];
  std::memcpy(state, Y + 1, sizeof state);
  double ydot[29];
  for (double& v : ydot) v = std::nan("");
  int neq = 29;
  double t = 3.0;
  velmo64v6::fex(&neq, &t, state, ydot);
  for (int i = 1; i <= 29; ++i) EXPECT_EQ(ydot[i - 1], d[i]) << "dY(" << i << ")/dt";
  EXPECT_EQ(slot(51), FE);
  EXPECT_EQ(slot(52), FES);
  EXPECT_EQ(0, std::memcmp(state, Y + 1, sizeof state)) << "the state is only read";
  for (int n = 1; n <= 68; ++n) EXPECT_EQ(slot(n <= 50 ? n : n + 2), K[n]) << "k" << n;
}

}  // namespace
