#include "models/nilpora/leak_rhs.h"

#include <gtest/gtest.h>

#include "models/nilpora/leak_block.h"

namespace {

// The leak moves v = VMAX*Y1/(KM + Y1) from the source pool to the receiving
// pool; the receiving pool does not feed back.
TEST(LeakRhs, MovesTheSaturableRateFromSourceToReceivingPool) {
  struct {
    double vmax, km, y1, y2, v;
  } cases[] = {
      {2.0, 1.0, 3.0, 7.0, 1.5},    // 6 / 4
      {4.0, 0.0, 0.25, 0.0, 4.0},   // KM 0: saturated, v = VMAX
      {0.0, 0.5, 1.0, 0.0, 0.0},    // no rate yet: nothing moves
      {1.0, 1.0, 1.0, 100.0, 0.5},  // Y2 plays no part
      // Distinct values on which VMAX*(Y1/(KM+Y1)) or VMAX/(KM+Y1)*Y1 would
      // round otherwise: the product first, then the quotient.
      {1.2576, 1.8724, 1.9905, 1.4378, (1.2576 * 1.9905) / (1.8724 + 1.9905)},
  };
  for (const auto& c : cases) {
    nilpora::LEAKPAR = {c.vmax, c.km};
    int neq = 2;
    double t = 123.0;
    double y[2] = {c.y1, c.y2};
    double ydot[2] = {-99.0, -99.0};
    nilpora::fex(&neq, &t, y, ydot);
    EXPECT_EQ(ydot[0], -c.v) << c.vmax << " " << c.km << " " << c.y1;
    EXPECT_EQ(ydot[1], c.v);
    EXPECT_EQ(y[0], c.y1);  // the state is only read
    EXPECT_EQ(y[1], c.y2);
  }
}

}  // namespace
