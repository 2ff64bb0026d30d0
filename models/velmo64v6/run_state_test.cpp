// The set-up after reading refuses a window length the sliding window cannot
// hold instead of running with a window that never takes a sample, and hands
// each phase's threshold to the maximum detector.
#include <gtest/gtest.h>

#include <memory>

#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {
namespace {

TEST(Velmo64v6SetUp, TakesOnlyAWindowLengthTheWindowHolds) {
  const int capacity = calcium::window_capacity;
  const struct {
    int nsw;
    bool ok;
  } cases[] = {{1, true}, {capacity, true}, {0, false}, {-1, false}, {capacity + 1, false}};
  for (const auto& c : cases) {
    auto s = std::make_unique<run_state>();
    s->p.NSW = c.nsw;
    EXPECT_EQ(set_up(*s), c.ok) << "NSW " << c.nsw;
    if (c.ok) {
      EXPECT_EQ(s->window.NSW, c.nsw);
    }
  }
}

TEST(Velmo64v6SetUp, EachPhaseGetsItsThreshold) {
  auto s = std::make_unique<run_state>();
  s->p.NSW = 1;
  const double offset[3] = {0.25, -1.5, 3.0e-2};
  for (int i = 0; i < 3; ++i) s->p.OFFSET[i] = offset[i];
  ASSERT_TRUE(set_up(*s));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(s->detector.OFFSET[i], offset[i]) << "OFFSET" << i + 1;
}

}  // namespace
}  // namespace velmo64v6
