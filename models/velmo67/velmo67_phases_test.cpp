// velmo67 end to end: phases, the NOUT rule, phase switches, the output
// interval, the ends of a run (zero duration, DTOUT = 0, integrator failure)
// and the end-of-phase concentration lines read back as a start state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "integrator/test_message_lines.h"
#include "models/velmo67/test_run.h"

namespace {

using namespace velmo67_testing;

std::vector<double> time_column(const std::vector<std::string>& rows) {
  std::vector<double> t;
  for (const auto& r : rows) t.push_back(column(r, 1));
  return t;
}

// The lines of the summary's block that follows `heading`, `count` of them.
std::vector<std::string> block_after(const std::vector<std::string>& lines,
                                     const std::string& heading, std::size_t count) {
  auto it = std::find(lines.begin(), lines.end(), heading);
  if (it == lines.end() || lines.end() - it <= static_cast<long>(count)) return {};
  return {it + 1, it + 1 + count};
}

// Value printed on a rate-constant line "   k46..............." of the
// report of `phase`.
double reported_k(const run& r, int phase, int n) {
  char heading[64];
  std::snprintf(heading, sizeof heading, "   rate constants ki at end of phase  %d :", phase);
  std::string label = std::string("k").append(std::to_string(n));
  label.resize(18, '.');
  for (const auto& l : block_after(r.summary(), heading, 38))
    if (l.substr(3, 18) == label) return std::stod(l.substr(21));
  ADD_FAILURE() << "no " << label << " in the report of phase " << phase;
  return NAN;
}

TEST(Velmo67Rows, NoutRuleDecidesWhichOutputStepsWriteTheRowTriple) {
  struct nout_case {
    std::array<int, 5> nout;
    std::vector<double> times;  // TPRINT of the rows written
  };
  // Phase 1: 10 output steps (duration 0.9), phase 2: 11 (duration 1.0).
  const nout_case cases[] = {
      // every third step; the count runs on into phase 2
      {{3, 3, 3, 3, 3}, {0.2, 0.5, 0.8, 1.1, 1.4, 1.7, 2.0}},
      {{-1, 0, 0, 0, 0}, {1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0}},
      {{0, -5, 0, 0, 0}, {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}},
      {{12, 2, 0, 0, 0}, {1.0, 1.2, 1.4, 1.6, 1.8, 2.0}},
  };
  for (const nout_case& c : cases) {
    input_file in;
    in.set_times(0.0, 0.1, 0.9, 1.0, 0.0, 1.0, 1.0);
    in.set_nout(c.nout[0], c.nout[1], c.nout[2], c.nout[3], c.nout[4]);
    const run r = run_velmo67(in);
    ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
    for (const char* suffix : {".txt", "_ER.txt", "_fluxes.txt"}) {
      const auto t = time_column(r.lines(suffix));
      ASSERT_EQ(t.size(), c.times.size()) << suffix << " NOUT(1) " << c.nout[0];
      for (std::size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i], c.times[i], 1e-9) << suffix;
    }
    // The window row is written at every output step whatever NOUT is.
    EXPECT_EQ(r.lines("_sw.txt").size(), 21u);
  }
}

TEST(Velmo67Rows, SlashLeavesTheRestOfTheNoutLineAtZero) {
  input_file in;
  in.set(154, "2 /  the later phases write every step");
  in.set_times(0.0, 0.1, 1.0, 1.0, 0.0, 1.0, 1.0);
  const run r = run_velmo67(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  EXPECT_EQ(r.lines(".txt").size(), 5u + 11u);
  EXPECT_EQ(matching(r.summary(), "^    NOUT\\.+  0$").size(), 1u);
}

TEST(Velmo67Phases, OutputIntervalIsTheSinglePrecisionTenthAfterPhase2) {
  struct interval_case {
    double dtout;
    std::size_t steps;  // over five phases of duration 1.0
  };
  const interval_case cases[] = {{0.1, 11 + 11 + 10 + 10 + 10}, {0.25, 5 + 5 + 10 + 10 + 10}};
  for (const interval_case& c : cases) {
    input_file in;
    in.set_times(0.0, c.dtout, 1.0, 1.0, 1.0, 1.0, 1.0);
    const run r = run_velmo67(in);
    ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
    const auto t = time_column(r.lines("_sw.txt"));
    ASSERT_EQ(t.size(), c.steps) << c.dtout;
    // The last phase's steps are 0.1f apart in the time column.
    EXPECT_NEAR(t[t.size() - 1] - t[t.size() - 2], 0.1, 1e-7);
  }
}

TEST(Velmo67Phases, SwitchesShowInTheRateConstantTableAndTheDataColumns) {
  input_file in;
  in.set_phase_value(102, 0.25);          // k46, phase 2
  in.set_phase_value(121, 7.5);           // k23, phase 3
  in.set_phase_value(130, 2.0e-5, true);  // k1, phase 4
  in.set_phase_value(132, 25.0, true);    // k3
  in.set_phase_value(134, 12.0);          // k63
  in.set_phase_value(135, 3.0e-4, true);  // k73
  in.set_phase_value(137, 3.0e-5);        // k1, phase 5
  in.set_phase_value(139, 30.0, true);    // k3
  in.set_phase_value(143, 14.0);          // k63
  in.set_phase_value(131, 0.06);          // k2, phase 4
  in.set_phase_value(133, 0.45);          // k20
  in.set_phase_value(138, 0.07);          // k2, phase 5
  in.set_phase_value(140, 0.5);           // k20
  in.set_phase_value(144, 2.0e-4);        // k73
  const run r = run_velmo67(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;

  EXPECT_DOUBLE_EQ(reported_k(r, 1, 46), 0.1);
  EXPECT_DOUBLE_EQ(reported_k(r, 2, 46), 0.25);
  EXPECT_DOUBLE_EQ(reported_k(r, 5, 46), 0.25);  // nothing is restored
  EXPECT_DOUBLE_EQ(reported_k(r, 2, 23), 5.0);
  EXPECT_DOUBLE_EQ(reported_k(r, 3, 23), 7.5);
  EXPECT_DOUBLE_EQ(reported_k(r, 3, 1), 1.0e-5);
  EXPECT_DOUBLE_EQ(reported_k(r, 4, 1), 2.0e-5);
  EXPECT_DOUBLE_EQ(reported_k(r, 4, 73), 3.0e-4);
  EXPECT_DOUBLE_EQ(reported_k(r, 5, 73), 2.0e-4);  // line 144
  EXPECT_DOUBLE_EQ(reported_k(r, 5, 3), 30.0);
  const struct {
    int n;
    double phase3, phase4, phase5;
  } switched[] = {{2, 0.05, 0.06, 0.07},
                  {20, 0.4, 0.45, 0.5},
                  {63, 10.0, 12.0, 14.0},
                  {3, 20.0, 25.0, 30.0}};
  for (const auto& c : switched) {
    EXPECT_DOUBLE_EQ(reported_k(r, 3, c.n), c.phase3) << "k" << c.n;
    EXPECT_DOUBLE_EQ(reported_k(r, 4, c.n), c.phase4) << "k" << c.n;
    EXPECT_DOUBLE_EQ(reported_k(r, 5, c.n), c.phase5) << "k" << c.n;
  }

  // Rows 32 and 33 (0-based 31, 32): the last step of phase 3 and the first
  // of phase 4, which repeats that state with the phase-4 constants.
  const auto data = r.lines(".txt");
  const auto flux = r.lines("_fluxes.txt");
  ASSERT_EQ(data.size(), 52u);
  const struct {
    int col;
    double phase3, phase4, phase5;
  } columns[] = {{30, 20.0, 25.0, 30.0}, {31, 1.0e-5, 2.0e-5, 3.0e-5}, {33, 10.0, 12.0, 14.0}};
  for (const auto& c : columns) {
    EXPECT_DOUBLE_EQ(column(data[0], c.col), c.phase3) << c.col;
    EXPECT_DOUBLE_EQ(column(data[31], c.col), c.phase3) << c.col;
    EXPECT_DOUBLE_EQ(column(data[32], c.col), c.phase4) << c.col;
    EXPECT_DOUBLE_EQ(column(data[42], c.col), c.phase5) << c.col;
  }
  EXPECT_EQ(data[31].substr(16, 3 * 16), data[32].substr(16, 3 * 16));  // Ca_cyt .. Ca_ext
  EXPECT_NEAR(column(flux[31], 2), 1.0e-5 * 2000.0, 1e-9);              // j1 = k1 * Ca_ext
  EXPECT_NEAR(column(flux[32], 2), 2.0e-5 * 2000.0, 1e-9);
}

TEST(Velmo67Phases, ZeroDurationOfPhase2EndsTheRunAfterPhase1) {
  input_file in;
  in.set_times(0.0, 0.1, 0.5, 0.0, 1.0, 1.0, 1.0);
  const run r = run_velmo67(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(matching(console, "^ Phase ").size(), 1u);
  EXPECT_EQ(matching(console, "rate constants ki at end of phase").size(), 1u);
  EXPECT_EQ(matching(console, "^ Execution of ").size(), 1u);
  EXPECT_EQ(r.lines("_jSOCC-Ca_lum.txt").size(), 1u);
  EXPECT_EQ(r.lines(".txt").size(), 6u);
  EXPECT_EQ(split_lines(r.dir->read("tmp"))[1], "   3.50000000000000");
}

TEST(Velmo67Phases, PhaseShorterThanTheIntervalHasOneOutputStep) {
  input_file in;
  in.set_times(2.0, 0.5, 0.0, -1.0, 0.25, 0.0, 1.0);
  const run r = run_velmo67(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto t = time_column(r.lines("_sw.txt"));
  // Phase 1 (0) and phase 2 (negative): one step each; phase 3 (0.25): three
  // steps 0.1f apart.
  ASSERT_EQ(t.size(), 5u);
  EXPECT_DOUBLE_EQ(t[0], 2.0);
  EXPECT_DOUBLE_EQ(t[1], 2.5);
  EXPECT_DOUBLE_EQ(t[2], 3.0);
  EXPECT_NEAR(t[4], 3.2, 1e-6);
  EXPECT_EQ(r.lines("_jSOCC-Ca_lum.txt").size(), 3u);
}

TEST(Velmo67Phases, ZeroIntervalStopsThroughTheRepeatedCallRule) {
  input_file in;
  in.set_times(0.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0);
  const run r = run_velmo67(in);
  EXPECT_EQ(r.result.exit_status, 1);
  EXPECT_EQ(r.lines(".txt").size(), 4u);
  EXPECT_EQ(r.lines("_sw.txt").size(), 4u);
  const auto er = r.lines("_ER.txt");
  ASSERT_GE(er.size(), 4u + 3u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(er[i].size(), 160u);
  EXPECT_EQ(er[4], integrator::testing::text(integrator::messages::repeated_start));
  EXPECT_EQ(er.back(), integrator::testing::text(integrator::messages::run_aborted));
  EXPECT_TRUE(matching(r.console(), "Execution of").empty());
}

TEST(Velmo67Phases, IntegratorFailureHaltsWithStatus1AndKeepsTheRowsBefore) {
  input_file in;
  in.set_phase_value(135, 1.0e308, true);  // k73 of phase 4: jSOCC overflows
  const run r = run_velmo67(in);
  EXPECT_EQ(r.result.exit_status, 1);
  const auto console = r.console();
  ASSERT_GE(console.size(), 4u);
  EXPECT_TRUE(std::regex_match(console.back(), std::regex(" ERROR HALT\\.\\. ISTATE = *-[0-9]+")))
      << console.back();
  EXPECT_EQ(console[console.size() - 2], "");
  EXPECT_EQ(console[console.size() - 3], "");
  EXPECT_EQ(console[console.size() - 4], "");
  // Phases 1-3 and the first step of phase 4 (which already shows the
  // overflowing flux) stay in the files; no phase-4 report, no end report.
  EXPECT_EQ(r.lines(".txt").size(), 33u);
  const auto flux = r.lines("_fluxes.txt");
  ASSERT_EQ(flux.size(), 33u);
  EXPECT_EQ(flux.back().substr(flux.back().size() - 15), "            INF");
  EXPECT_EQ(r.lines("_jSOCC-Ca_lum.txt").size(), 3u);
  EXPECT_TRUE(matching(r.summary(), "Execution of").empty());
  EXPECT_EQ(matching(r.summary(), "rate constants ki at end of phase").size(), 3u);
}

TEST(Velmo67Phases, ConcentrationLinesPastedBackReproduceTheState) {
  input_file first;
  first.set_times(0.0, 0.1, 2.0, 0.0, 1.0, 1.0, 1.0);
  const run a = run_velmo67(first);
  ASSERT_EQ(a.result.exit_status, 0) << a.result.err;
  const auto lines = block_after(a.summary(), "    concentrations at end of phase   1 :", 8);
  ASSERT_EQ(lines.size(), 8u);

  input_file second;
  second.set_times(0.0, 0.1, 0.0, 0.0, 1.0, 1.0, 1.0);
  for (int i = 0; i < 8; ++i) second.set(146 + i, lines[i]);
  const run b = run_velmo67(second);
  ASSERT_EQ(b.result.exit_status, 0) << b.result.err;
  EXPECT_EQ(block_after(b.summary(), "    concentrations at end of phase   1 :", 8), lines);
  // The state moved away from the first file's start.
  EXPECT_NE(lines[0], first.get(146));
}

}  // namespace
