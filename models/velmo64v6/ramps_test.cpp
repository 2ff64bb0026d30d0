// The phase switches of velmo64v6: which rate constants each phase start
// sets, and that nothing else changes and nothing is restored.
#include "models/velmo64v6/ramps.h"

#include <gtest/gtest.h>

#include <map>

#include "models/velmo64v6/network.h"

namespace velmo64v6 {
namespace {

TEST(Velmo64v6PhaseSwitch, EachPhaseSetsItsConstantsAndKeepsTheRest) {
  phase_changes pc;
  // Phase m's value of kn is 1000*m + n, so every value tells where it came from.
  pc.K1P2 = 2001, pc.K2P2 = 2002, pc.K3P2 = 2003, pc.K23P2 = 2023, pc.K27P2 = 2027;
  pc.K30P2 = 2030, pc.K38P2 = 2038, pc.K56P2 = 2056, pc.K63P2 = 2063;
  pc.K1P3 = 3001, pc.K2P3 = 3002, pc.K3P3 = 3003, pc.K23P3 = 3023, pc.K27P3 = 3027;
  pc.K30P3 = 3030, pc.K38P3 = 3038, pc.K56P3 = 3056, pc.K63P3 = 3063;
  pc.K1P4 = 4001, pc.K2P4 = 4002, pc.K3P4 = 4003, pc.K63P4 = 4063;
  pc.K1P5 = 5001, pc.K2P5 = 5002, pc.K3P5 = 5003, pc.K63P5 = 5063;
  for (int n = 1; n <= 68; ++n) k(n) = n;

  // After each phase start: the constants that differ from the values as
  // read (kn = n), as phase*1000 + n.
  const struct {
    int phase;
    std::map<int, int> changed;
  } steps[] = {
      {1, {}},
      {2, {{1, 2}, {2, 2}, {3, 2}, {23, 2}, {27, 2}, {30, 2}, {38, 2}, {56, 2}, {63, 2}}},
      {3, {{1, 3}, {2, 3}, {3, 3}, {23, 3}, {27, 3}, {30, 3}, {38, 3}, {56, 3}, {63, 3}}},
      {4, {{1, 4}, {2, 4}, {3, 4}, {23, 3}, {27, 3}, {30, 3}, {38, 3}, {56, 3}, {63, 4}}},
      {5, {{1, 5}, {2, 5}, {3, 5}, {23, 3}, {27, 3}, {30, 3}, {38, 3}, {56, 3}, {63, 5}}},
  };
  for (const auto& step : steps) {
    apply_phase_switch(step.phase, pc);
    for (int n = 1; n <= 68; ++n) {
      const auto it = step.changed.find(n);
      const double expected = it == step.changed.end() ? n : 1000.0 * it->second + n;
      EXPECT_EQ(k(n), expected) << "k" << n << " after phase " << step.phase << " starts";
    }
  }
}

}  // namespace
}  // namespace velmo64v6
