// velmo65 end to end: its k1 and k20 switches, the phase-change lines it
// reads and drops, the nine-element clamp, and integrator messages on
// standard output.
#include <gtest/gtest.h>

#include <cmath>

#include "integrator/test_message_lines.h"
#include "models/velmo65/test_input.h"

namespace {

using namespace velmo65_testing;

double reported_k(const run& r, int phase, int n) {
  for (const auto& [label, value] : rate_constant_table(r.summary(), phase, 35))
    if (label == std::string("k").append(std::to_string(n))) return value;
  ADD_FAILURE() << "no k" << n << " in the report of phase " << phase;
  return NAN;
}

struct switched {
  int line;
  int phase;
  int k;
  double value;
};
const switched switch_table[] = {{82, 2, 1, 2.0e-5},  {93, 2, 20, 0.5},    {108, 3, 1, 3.0e-5},
                                 {117, 3, 20, 0.6},   {127, 4, 1, 4.0e-5}, {130, 4, 20, 0.7},
                                 {134, 5, 1, 5.0e-5}, {137, 5, 20, 0.8}};

input_file with_switches() {
  input_file in = base_input();
  for (const switched& s : switch_table) in.set_phase_value(s.line, s.value);
  return in;
}

TEST(Velmo65Phases, K1AndK20SwitchFromTheirLines) {
  const run r = run_velmo65(with_switches());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  EXPECT_DOUBLE_EQ(reported_k(r, 1, 1), 1.0e-5);
  EXPECT_DOUBLE_EQ(reported_k(r, 1, 20), 0.4);
  for (const switched& s : switch_table) EXPECT_DOUBLE_EQ(reported_k(r, s.phase, s.k), s.value);
  for (int phase = 1; phase <= 5; ++phase)
    for (int n : {2, 3, 23, 63, 73})
      EXPECT_DOUBLE_EQ(reported_k(r, phase, n), input_file::base_k[n - 1]) << phase << " k" << n;

  // Column 31 (k1) changes at the first step of each phase (11 steps a
  // phase); columns 30 (k3) and 33 (k63) stay.
  const auto data = r.lines(".txt");
  ASSERT_EQ(data.size(), 55u);
  const double k1[] = {1.0e-5, 2.0e-5, 3.0e-5, 4.0e-5, 5.0e-5};
  for (int p = 0; p < 5; ++p) {
    EXPECT_DOUBLE_EQ(column(data[11 * p], 31), k1[p]) << p;
    EXPECT_DOUBLE_EQ(column(data[11 * p + 10], 31), k1[p]) << p;
    EXPECT_DOUBLE_EQ(column(data[11 * p], 30), 20.0) << p;
    EXPECT_DOUBLE_EQ(column(data[11 * p], 33), 10.0) << p;
  }
}

// velmo66's and velmo67's switch lines, and every other phase-change line,
// are read and dropped.
TEST(Velmo65Phases, OtherPhaseChangeLinesChangeNoOutput) {
  const run base = run_velmo65(with_switches());
  input_file in = with_switches();
  for (int line = 83; line <= 142; ++line) {
    bool used = false;
    for (const switched& s : switch_table) used = used || s.line == line;
    if (!used) in.set_phase_value(line, 0.25);
  }
  in.set(82, "2.0e-5 7.0   second value of a pair line");
  const run changed = run_velmo65(in);
  ASSERT_EQ(base.result.exit_status, 0) << base.result.err;
  ASSERT_EQ(changed.result.exit_status, 0) << changed.result.err;
  for (const char* suffix : {".txt", "_fluxes.txt"}) {
    ASSERT_FALSE(base.file(suffix).empty()) << suffix;
    EXPECT_EQ(base.file(suffix), changed.file(suffix)) << suffix;
  }
}

// SERCA (Y(11)) below 1e-10 stays as it is in velmo65; velmo66 clamps it.
TEST(Velmo65Phases, SercaAndLuminalCalciumAreNotClamped) {
  input_file in = base_input();
  in.set_k(20, 0.0);  // no SERCA synthesis
  in.set_state(2, 1, 5.0e-11);
  in.set_times(0.0, 0.1, 1.0, 0.0, 1.0, 1.0, 1.0);
  const auto serca_at_phase_end = [](const run& r) {
    const auto lines = block_after(r.summary(), "    concentrations at end of phase   1 :", 8);
    EXPECT_EQ(lines.size(), 8u);
    return lines.empty() ? std::string() : lines[2].substr(14, 12);
  };
  const run v65 = run_velmo65(in);
  ASSERT_EQ(v65.result.exit_status, 0) << v65.result.err;
  const double serca = std::stod(serca_at_phase_end(v65));
  EXPECT_GT(serca, 0.0);
  EXPECT_LT(serca, 1.0e-10);

  const run v66 = run_program({"velmo66", "VELMO66.INP", 10, true}, in.text(), "t65");
  ASSERT_EQ(v66.result.exit_status, 0) << v66.result.err;
  EXPECT_EQ(serca_at_phase_end(v66), " 0.00000E+00");
}

TEST(Velmo65Phases, IntegratorMessagesGoToStandardOutput) {
  input_file in = base_input();
  in.set_times(0.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0);
  const run r = run_velmo65(in);
  EXPECT_EQ(r.result.exit_status, 1);
  EXPECT_TRUE(every_line_ends_in_crlf(r.result.out));
  const auto console = r.console();
  ASSERT_GE(console.size(), 4u);
  EXPECT_EQ(console[3], " Phase   1");
  EXPECT_EQ(console[4], integrator::testing::text(integrator::messages::repeated_start));
  EXPECT_EQ(console.back(), integrator::testing::text(integrator::messages::run_aborted));
  EXPECT_TRUE(matching(console, "Execution of").empty());
  EXPECT_EQ(r.lines(".txt").size(), 4u);
  EXPECT_EQ(r.dir->files().size(), 5u);
  // The summary file has the header and the phase header only.
  EXPECT_EQ(r.summary().size(), 4u);
}

}  // namespace
