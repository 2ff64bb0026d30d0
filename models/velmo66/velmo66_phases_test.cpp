// velmo66 end to end: its phase switches (k23 in phase 2 from line 95, the
// later switches three lines earlier than velmo67's), the middle
// phase-change lines it reads and drops, and a velmo67 file read by
// velmo66's own table.
#include <gtest/gtest.h>

#include <cmath>

#include "models/velmo66/test_input.h"
#include "models/velmo67/test_input.h"

namespace {

using namespace velmo66_testing;

// Value of kn in the summary's rate-constant table of `phase`.
double reported_k(const run& r, int phase, int n) {
  for (const auto& [label, value] : rate_constant_table(r.summary(), phase, 35))
    if (label == std::string("k").append(std::to_string(n))) return value;
  ADD_FAILURE() << "no k" << n << " in the report of phase " << phase;
  return NAN;
}

TEST(Velmo66Phases, Phase2SwitchesK23FromLine95) {
  input_file in = base_input();
  in.set_phase_value(95, 7.5);   // k23, phase 2
  in.set_phase_value(118, 9.0);  // k23, phase 3
  const run r = run_velmo66(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  EXPECT_DOUBLE_EQ(reported_k(r, 1, 23), 5.0);  // line 25
  EXPECT_DOUBLE_EQ(reported_k(r, 2, 23), 7.5);
  EXPECT_DOUBLE_EQ(reported_k(r, 3, 23), 9.0);
  EXPECT_DOUBLE_EQ(reported_k(r, 5, 23), 9.0);

  // The first step of phase 2 repeats the last state of phase 1 with k23
  // already switched: j23 (flux column 10) grows by 7.5/5.
  const auto flux = r.lines("_fluxes.txt");
  ASSERT_EQ(flux.size(), 52u);
  EXPECT_EQ(flux[10].substr(0, 16), "      1.0000E+00");
  EXPECT_EQ(flux[11].substr(0, 16), "      1.1000E+00");
  EXPECT_EQ(flux[10].substr(16 * 14, 16), flux[11].substr(16 * 14, 16));  // Ca_cyt
  EXPECT_NEAR(column(flux[11], 10) / column(flux[10], 10), 1.5, 1e-4);
}

// Lines 101 to 109 hold no switch (velmo67's line 102 switches k46); the
// lines of velmo67's later switches are other roles or unused in velmo66.
TEST(Velmo66Phases, MiddlePhaseChangeLinesChangeNoOutput) {
  const run base = run_velmo66(base_input());
  input_file in = base_input();
  for (int line = 101; line <= 109; ++line) in.set_phase_value(line, 0.25);
  for (int line : {121, 133, 138, 142}) in.set_phase_value(line, 0.25);
  const run changed = run_velmo66(in);
  ASSERT_EQ(base.result.exit_status, 0) << base.result.err;
  ASSERT_EQ(changed.result.exit_status, 0) << changed.result.err;
  for (const char* suffix : {".txt", "_ER.txt", "_fluxes.txt", "_sw.txt", "_jSOCC-Ca_lum.txt"}) {
    ASSERT_FALSE(base.file(suffix).empty()) << suffix;
    EXPECT_EQ(base.file(suffix), changed.file(suffix)) << suffix;
  }
}

TEST(Velmo66Phases, LaterSwitchesReadTheirVelmo66Lines) {
  struct switched {
    int line;
    int phase;
    int k;
    double value;
  };
  const switched table[] = {{127, 4, 1, 2.0e-5}, {128, 4, 2, 0.06},  {129, 4, 3, 25.0},
                            {130, 4, 20, 0.5},   {131, 4, 63, 12.0}, {132, 4, 73, 3e-4},
                            {134, 5, 1, 3.0e-5}, {135, 5, 2, 0.07},  {136, 5, 3, 30.0},
                            {137, 5, 20, 0.6},   {140, 5, 63, 14.0}, {141, 5, 73, 2e-4}};
  input_file in = base_input();
  for (const switched& s : table) in.set_phase_value(s.line, s.value);
  const run r = run_velmo66(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  for (const switched& s : table) {
    EXPECT_DOUBLE_EQ(reported_k(r, 3, s.k), input_file::base_k[s.k - 1]) << s.line;
    EXPECT_DOUBLE_EQ(reported_k(r, s.phase, s.k), s.value) << s.line;
  }
  // Data columns 30 (k3), 31 (k1), 33 (k63): first step of phases 4 and 5.
  const auto data = r.lines(".txt");
  ASSERT_EQ(data.size(), 52u);
  EXPECT_DOUBLE_EQ(column(data[31], 31), 1.0e-5);
  EXPECT_DOUBLE_EQ(column(data[32], 31), 2.0e-5);
  EXPECT_DOUBLE_EQ(column(data[32], 30), 25.0);
  EXPECT_DOUBLE_EQ(column(data[42], 30), 30.0);
  EXPECT_DOUBLE_EQ(column(data[42], 33), 14.0);
}

// A velmo67 file without notes on its phase-change lines reads through:
// velmo66's pair line 106 takes velmo67's lines 106 and 107, its pair line
// 110 velmo67's lines 111 and 112, so velmo66's lines 111 to 126 are
// velmo67's 113 to 128 and its pair line 127 takes lines 129 and 130; from
// there on the lines agree with velmo67's again, up to the band lines.
TEST(Velmo66Phases, Velmo67FileRunsByVelmo66Table) {
  velmo67_testing::input_file in;
  in.drop_notes(82, 145);
  in.set(95, "7.5");          // velmo66's k23 of phase 2
  in.set(102, "0.25");        // velmo67's k46 of phase 2
  in.set(120, "9.0");         // velmo66's k23 of phase 3 (its line 118)
  in.set(121, "11.0");        // velmo67's k23 of phase 3
  in.set(129, "3.3e-5");      // velmo66's k1 of phase 4 (first value of its line 127)
  in.set(130, "2.0e-5 0.5");  // velmo67's k1 of phase 4
  in.set(133, "0.45");        // k20 of phase 4 in both
  in.set_nout(0, 0, 0, 0, 2);
  const run r = run_velmo66(in.text(), "t67");
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  EXPECT_DOUBLE_EQ(reported_k(r, 2, 23), 7.5);
  EXPECT_DOUBLE_EQ(reported_k(r, 3, 23), 9.0);
  EXPECT_DOUBLE_EQ(reported_k(r, 4, 1), 3.3e-5);
  EXPECT_DOUBLE_EQ(reported_k(r, 4, 20), 0.45);
  // NOUT from velmo67's line 154: phase 5 writes every second step.
  EXPECT_EQ(r.lines(".txt").size(), 11u + 11u + 10u + 10u + 5u);
}

}  // namespace
