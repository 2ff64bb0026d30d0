// The set-up after reading refuses a window length the sliding window cannot
// hold instead of running with a window that never takes a sample.
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

}  // namespace
}  // namespace velmo64v6
