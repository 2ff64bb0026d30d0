// The set-up after reading refuses a window length the sliding window cannot
// hold instead of running with a window that never takes a sample.
#include <gtest/gtest.h>

#include <memory>

#include "models/calcium/parameter_file.h"

namespace calcium {
namespace {

TEST(SetUpAfterReading, TakesOnlyAWindowLengthTheWindowHolds) {
  double ratcon[ratcon_slots] = {};
  frame_config cfg{};
  cfg.ratcon = ratcon;
  const struct {
    int nsw;
    bool ok;
  } cases[] = {
      {1, true}, {window_capacity, true}, {0, false}, {-1, false}, {window_capacity + 1, false}};
  for (const auto& c : cases) {
    auto r = std::make_unique<run_state>();
    r->NSW = c.nsw;
    EXPECT_EQ(set_up_after_reading(cfg, *r), c.ok) << "NSW " << c.nsw;
    if (c.ok) {
      EXPECT_EQ(r->window.NSW, c.nsw);
    }
  }
}

}  // namespace
}  // namespace calcium
