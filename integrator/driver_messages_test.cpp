// Illegal input: each check gives its own message lines and ISTATE -3, and
// leaves Y and T as they were; the run-ending rules end the process with
// status 1 after their messages.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "integrator/test_problems.h"
#include "textio/exit_path.h"

namespace integrator::testing {
namespace {

const std::string one_real = "      IN ABOVE MESSAGE,  R1 =";
const std::string two_reals = "      IN ABOVE,  R1 =";
const char* const any = "~";  // a value line whose digits are not checked: prefix only

void robertson_start(problem& p) {
  robertson_values(p);
  p.t = 0.0;
  p.tout = 0.4;
  p.istate = 1;
}

// Started at 0.4 (TCUR is past it), ready for a continuation call.
void started(problem& p) {
  robertson_start(p);
  p.call(robertson_f, robertson_jac);
  ASSERT_EQ(p.istate, 2);
  p.istate = 2;
}

struct illegal_case {
  const char* name;
  std::function<void(problem&)> setup;
  std::vector<std::string> lines;  // a line ending in "~" is compared up to it
};

class IllegalInput : public ::testing::TestWithParam<illegal_case> {};

TEST_P(IllegalInput, GivesItsMessageAndIstateMinusThree) {
  const illegal_case& c = GetParam();
  reset_blocks();
  problem p(3, 22);
  robertson_start(p);
  c.setup(p);
  const std::vector<double> y_before = p.y;
  const double t_before = p.t;
  message_capture capture;
  p.call(robertson_f, robertson_jac);
  const std::vector<std::string> lines = capture.lines();
  EXPECT_EQ(p.istate, -3);
  EXPECT_EQ(p.y, y_before);
  EXPECT_EQ(p.t, t_before);
  ASSERT_EQ(lines.size(), c.lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& want = c.lines[i];
    if (!want.empty() && want.back() == '~')
      EXPECT_EQ(lines[i].substr(0, want.size() - 1), want.substr(0, want.size() - 1)) << i;
    else
      EXPECT_EQ(lines[i], want) << "line " << i;
  }
  reset_blocks();
}

const std::string r04 = "  0.4000000000000D+00";
const std::string r0 = "  0.0000000000000D+00";

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, IllegalInput,
    ::testing::Values(
        illegal_case{"istate", [](problem& p) { p.istate = 7; },
                     {text(messages::istate_illegal), ints(7)}},
        illegal_case{"istate_zero", [](problem& p) { p.istate = 0; },
                     {text(messages::istate_illegal), ints(0)}},
        illegal_case{"istate_four", [](problem& p) { p.istate = 4; },
                     {text(messages::istate_illegal), ints(4)}},
        illegal_case{"itask", [](problem& p) { p.itask = 6; },
                     {text(messages::itask_illegal), ints(6)}},
        illegal_case{"itask_zero", [](problem& p) { p.itask = 0; },
                     {text(messages::itask_illegal), ints(0)}},
        illegal_case{"not_initialised", [](problem& p) { p.istate = 2; },
                     {text(messages::not_initialized)}},
        illegal_case{"neq", [](problem& p) { p.neq = 0; },
                     {text(messages::neq_below_one), ints(0)}},
        illegal_case{"neq_increased",
                     [](problem& p) {
                       started(p);
                       p.istate = 3;
                       p.neq = 4;
                     },
                     {text(messages::neq_increased), ints(3, 4)}},
        illegal_case{"itol", [](problem& p) { p.itol = 0; },
                     {text(messages::itol_illegal), ints(0)}},
        illegal_case{"itol_five", [](problem& p) { p.itol = 5; },
                     {text(messages::itol_illegal), ints(5)}},
        illegal_case{"iopt", [](problem& p) { p.iopt = 2; },
                     {text(messages::iopt_illegal), ints(2)}},
        illegal_case{"mf_units", [](problem& p) { p.mf = 26; },
                     {text(messages::mf_illegal), ints(26)}},
        illegal_case{"mf_tens", [](problem& p) { p.mf = 9; },
                     {text(messages::mf_illegal), ints(9)}},
        illegal_case{"mf_method_zero", [](problem& p) { p.mf = 5; },
                     {text(messages::mf_illegal), ints(5)}},
        illegal_case{"mf_method_three", [](problem& p) { p.mf = 30; },
                     {text(messages::mf_illegal), ints(30)}},
        illegal_case{"ml",
                     [](problem& p) {
                       p.mf = 24;
                       p.iwork[0] = 3;
                     },
                     {text(messages::ml_illegal), ints(3, 3)}},
        illegal_case{"mu",
                     [](problem& p) {
                       p.mf = 25;
                       p.iwork[1] = -1;
                     },
                     {text(messages::mu_illegal), ints(-1, 3)}},
        illegal_case{"mu_equals_neq",
                     [](problem& p) {
                       p.mf = 25;
                       p.iwork[0] = 2;
                       p.iwork[1] = 3;
                     },
                     {text(messages::mu_illegal), ints(3, 3)}},
        illegal_case{"maxord",
                     [](problem& p) {
                       p.iopt = 1;
                       p.iwork[4] = -1;
                     },
                     {text(messages::maxord_negative), ints(-1)}},
        illegal_case{"mxstep",
                     [](problem& p) {
                       p.iopt = 1;
                       p.iwork[5] = -2;
                     },
                     {text(messages::mxstep_negative), ints(-2)}},
        illegal_case{"mxhnil",
                     [](problem& p) {
                       p.iopt = 1;
                       p.iwork[6] = -3;
                     },
                     {text(messages::mxhnil_negative), ints(-3)}},
        illegal_case{"h0_direction",
                     [](problem& p) {
                       p.iopt = 1;
                       p.rwork[4] = -0.1;
                     },
                     {text(messages::tout_behind_t),
                      two_reals + r04 + "   R2 =" + r0,
                      text(messages::direction_from_h0),
                      one_real + " -0.1000000000000D+00"}},
        illegal_case{"hmax",
                     [](problem& p) {
                       p.iopt = 1;
                       p.rwork[5] = -1.0;
                     },
                     {text(messages::hmax_negative), one_real + " -0.1000000000000D+01"}},
        illegal_case{"hmin",
                     [](problem& p) {
                       p.iopt = 1;
                       p.rwork[6] = -2.0;
                     },
                     {text(messages::hmin_negative), one_real + " -0.2000000000000D+01"}},
        illegal_case{"lrw", [](problem& p) { p.lrw = 57; },
                     {text(messages::rwork_too_short),
                      ints(58, 57)}},
        illegal_case{"liw", [](problem& p) { p.liw = 22; },
                     {text(messages::iwork_too_short),
                      ints(23, 22)}},
        illegal_case{"rtol",
                     [](problem& p) {
                       p.itol = 4;
                       p.rtol = {1e-4, -1e-4, 1e-4};
                     },
                     {text(messages::rtol_negative), ints(2),
                      one_real + " -0.1000000000000D-03"}},
        illegal_case{"rtol_array_itol3",
                     [](problem& p) {
                       p.itol = 3;
                       p.rtol = {1e-4, -2e-4, 1e-4};
                     },
                     {text(messages::rtol_negative), ints(2),
                      one_real + " -0.2000000000000D-03"}},
        // a scalar RTOL is the first element, whichever component it fails for
        illegal_case{"rtol_scalar", [](problem& p) { p.rtol[0] = -1e-4; },
                     {text(messages::rtol_negative), ints(1),
                      one_real + " -0.1000000000000D-03"}},
        illegal_case{"atol_array_itol4",
                     [](problem& p) {
                       p.itol = 4;
                       p.rtol = {1e-4, 1e-4, 1e-4};
                       p.atol = {1e-6, -1e-10, 1e-6};
                     },
                     {text(messages::atol_negative), ints(2),
                      one_real + " -0.1000000000000D-09"}},
        illegal_case{"atol", [](problem& p) { p.atol[2] = -1e-6; },
                     {text(messages::atol_negative), ints(3),
                      one_real + " -0.1000000000000D-05"}},
        illegal_case{"zero_weight",
                     [](problem& p) {
                       p.itol = 1;
                       p.atol[0] = 0.0;
                     },
                     {text(messages::ewt_not_positive), ints(2), one_real + r0}},
        // the weight reported is the one found, not its positive neighbour's
        illegal_case{"zero_weight_before_a_positive",
                     [](problem& p) {
                       p.itol = 2;
                       p.atol = {1e-6, 0.0, 1e-6};
                     },
                     {text(messages::ewt_not_positive), ints(2), one_real + r0}},
        illegal_case{"tout_too_close",
                     [](problem& p) {
                       // 8 apart at 1e15: a different double, yet closer than 2*ROUNDOFF*|T|
                       p.t = 1e15;
                       p.tout = 1e15 + 8.0;
                     },
                     {text(messages::tout_too_close),
                      two_reals + "  0.1000000000000D+16   R2 =  0.1000000000000D+16"}},
        illegal_case{"itask3_behind",
                     [](problem& p) {
                       started(p);
                       p.itask = 3;
                       p.tout = 0.0;
                     },
                     {text(messages::tout_behind_last_step), ints(3),
                      two_reals + r0 + "   R2 =~"}},
        illegal_case{"tcrit_behind_tcur",
                     [](problem& p) {
                       started(p);
                       p.itask = 4;
                       p.rwork[0] = 0.1;
                       p.tout = 0.5;
                     },
                     {text(messages::tcrit_behind_tcur),
                      two_reals + "  0.1000000000000D+00   R2 =~"}},
        illegal_case{"tcrit_behind_tout_at_start",
                     [](problem& p) {
                       p.itask = 4;
                       p.rwork[0] = 0.2;
                     },
                     {text(messages::tcrit_behind_tout),
                      two_reals + "  0.2000000000000D+00   R2 =" + r04}},
        illegal_case{"too_much_accuracy_at_start",
                     [](problem& p) {
                       p.itol = 1;
                       p.rtol[0] = 1e-16;
                       p.atol[0] = 1e-30;
                     },
                     {text(messages::start_accuracy),
                      text(messages::start_accuracy_tolsf),
                      one_real + "  0.1154700~"}},
        illegal_case{"interpolation_before_stepping",
                     [](problem& p) {
                       started(p);
                       p.tout = 0.0;
                     },
                     {text(messages::interpolation_t_illegal), one_real + r0,
                      text(messages::interpolation_t_outside),
                      two_reals + "~", text(messages::interpolation_trouble),
                      ints(1), one_real + r0}}),
    [](const ::testing::TestParamInfo<illegal_case>& info) { return std::string(info.param.name); });

// Only the band iterations read ML and MU: with the diagonal approximation
// IWORK(1..2) may hold anything, and the length needed has no band in it.
TEST(IllegalInput, DiagonalIterationIgnoresTheBandwidths) {
  reset_blocks();
  problem p(3, 23);
  robertson_start(p);
  p.iwork[0] = -1;
  p.iwork[1] = -5;
  message_capture capture;
  p.call(robertson_f);
  EXPECT_EQ(p.istate, 2);
  EXPECT_EQ(p.t, 0.4);
  EXPECT_EQ(p.iwork[16], 20 + (5 + 1) * 3 + (3 + 2) + 3 * 3);
  EXPECT_EQ(p.iwork[17], 20);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{});
  reset_blocks();
}

TEST(IllegalInput, TooMuchAccuracyAtStartReportsTwiceTheScaledNorm) {
  reset_blocks();
  problem p(3, 22);
  robertson_start(p);
  p.itol = 1;
  p.rtol[0] = 1e-16;
  p.atol[0] = 1e-30;
  message_capture capture;
  p.call(robertson_f);
  EXPECT_EQ(p.istate, -3);
  // weights 1e-16, 1e-30, 1e-30 for y = (1, 0, 0): norm = 1e16/sqrt(3)
  const double expected = 2.0 * 9.9999998245167e-15 * (1e16 / std::sqrt(3.0));
  EXPECT_NEAR(p.rwork[13], expected, 1e-12 * expected);  // atol shifts the 15th digit
  reset_blocks();
}

TEST(IllegalInput, LengthsNeededAreReportedEvenWhenTooShort) {
  reset_blocks();
  problem p(35, 22);
  for (double& v : p.y) v = 1.0;
  p.rtol[0] = 1e-8;
  p.atol[0] = 1e-13;
  p.tout = 1.0;
  p.lrw = 1561;
  message_capture capture;
  p.call(robertson_f);  // never called: the check comes first
  EXPECT_EQ(p.istate, -3);
  EXPECT_EQ(p.iwork[16], 1562);
  EXPECT_EQ(p.iwork[17], 55);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], ints(1562, 1561));
  reset_blocks();
}

// Lengths of absurd problems must not wrap round: they are reported at the
// largest integer and fail the RWORK test, even when IWORK is said to be huge.
TEST(IllegalInput, AbsurdProblemSizesAreTooLongNotWrappedRound) {
  struct row {
    int mf, neq, ml, mu, leniw;
  } rows[] = {{10, INT_MAX, 0, 0, 20},
              {22, INT_MAX, 0, 0, INT_MAX},
              {25, 2000000000, 1999999999, 1999999999, 2000000020}};
  for (const row& r : rows) {
    reset_blocks();
    problem p(1, r.mf);
    p.y[0] = 1.0;
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.tout = 1.0;
    p.neq = r.neq;
    p.iwork[0] = r.ml;
    p.iwork[1] = r.mu;
    p.liw = INT_MAX;
    message_capture capture;
    p.call(robertson_f);  // never called: the lengths are checked first
    EXPECT_EQ(p.istate, -3) << "MF " << r.mf;
    EXPECT_EQ(p.iwork[16], INT_MAX) << "MF " << r.mf;
    EXPECT_EQ(p.iwork[17], r.leniw) << "MF " << r.mf;
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u) << "MF " << r.mf;
    EXPECT_EQ(lines[0], text(messages::rwork_too_short));
    EXPECT_EQ(lines[1], ints(INT_MAX, p.lrw));
  }
  reset_blocks();
}

// --- the repeated-call and illegal-count rules ---

class RunEnding : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    char name[] = "/tmp/integrator_endXXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    path = name;
  }
  void TearDown() override {
    std::remove(path.c_str());
    reset_blocks();
  }
  std::vector<std::string> file_lines() const {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  std::string path;
};

int rhs_calls = 0;
void counting_robertson(int* neq, double* t, double* y, double* ydot) {
  ++rhs_calls;
  robertson_f(neq, t, y, ydot);
}

TEST_F(RunEnding, FourRepeatedStartsAreHarmlessAndAnyRealStartClearsTheCount) {
  problem p(3, 22);
  robertson_start(p);
  p.tout = 0.0;
  rhs_calls = 0;
  const std::vector<double> rwork_before = p.rwork;
  message_capture capture;
  for (int round = 0; round < 2; ++round) {
    for (int k = 0; k < 4; ++k) {
      p.call(counting_robertson);
      EXPECT_EQ(p.istate, 1);
      EXPECT_EQ(p.t, 0.0);
    }
    if (round == 0) {
      EXPECT_EQ(rhs_calls, 0);
      EXPECT_EQ(p.rwork, rwork_before);
      p.tout = 0.4;  // a real start in between
      p.call(counting_robertson);
      ASSERT_EQ(p.istate, 2);
      p.istate = 1;
      p.t = 0.0;
      p.tout = 0.0;
    }
  }
  // after an immediate return the problem is not initialised
  p.istate = 2;
  p.tout = 1.0;
  p.call(counting_robertson);
  EXPECT_EQ(p.istate, -3);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], text(messages::not_initialized));
}

using RunEndingDeathTest = RunEnding;

// The one line on standard error that tells a user why the run ended.
const std::string stopped_line = stopped_run_pattern(messages::run_aborted);

TEST_F(RunEndingDeathTest, FifthRepeatedStartStopsTheRunWithStatusOne) {
  EXPECT_EXIT(std::exit(textio::run([&] {
                std::string err;
                textio::open_unit(6, path, &err);
                problem p(3, 22);
                robertson_start(p);
                p.t = p.tout = 2.5;
                for (int k = 0; k < 5; ++k) p.call(robertson_f);
                std::exit(0);  // not reached
              })),
              ::testing::ExitedWithCode(1), stopped_line);
  const std::vector<std::string> lines = file_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], text(messages::repeated_start));
  EXPECT_EQ(lines[1], one_real + "  0.2500000000000D+01");
  EXPECT_EQ(lines[2], text(messages::run_aborted));
}

TEST_F(RunEndingDeathTest, SixthIllegalCallInARowStopsTheRunWithStatusOne) {
  EXPECT_EXIT(std::exit(textio::run([&] {
                std::string err;
                textio::open_unit(6, path, &err);
                problem p(3, 22);
                robertson_start(p);
                p.itol = 9;
                for (int k = 0; k < 6; ++k) {
                  p.istate = 1;
                  p.call(robertson_f);
                }
                std::exit(0);  // not reached
              })),
              ::testing::ExitedWithCode(1), stopped_line);
  const std::vector<std::string> lines = file_lines();
  ASSERT_EQ(lines.size(), 6 * 2 + 2u);
  EXPECT_EQ(lines[10], text(messages::itol_illegal));
  EXPECT_EQ(lines[11], ints(9));
  EXPECT_EQ(lines[12], text(messages::repeated_illegal_input));
  EXPECT_EQ(lines[13], text(messages::run_aborted));
}

// An error return clears the count as a success does: after it, five more
// illegal calls in a row are still tolerated.
TEST_F(RunEnding, AnErrorReturnClearsTheIllegalCount) {
  problem p(3, 22);
  robertson_start(p);
  message_capture capture;
  p.itask = 9;
  for (int k = 0; k < 3; ++k) {
    p.istate = 1;
    p.call(robertson_f);
    ASSERT_EQ(p.istate, -3);
  }
  ASSERT_EQ(solver_state.ILLEGAL_COUNT, 3);
  p.itask = 1;
  p.istate = 1;
  p.iopt = 1;
  p.iwork[5] = 1;  // MXSTEP: the second step of the call is refused
  p.tout = 1e4;
  p.call(robertson_f);
  ASSERT_EQ(p.istate, -1);
  EXPECT_EQ(solver_state.ILLEGAL_COUNT, 0);
  p.itask = 9;
  for (int k = 0; k < 5; ++k) {
    p.istate = 2;
    p.call(robertson_f);
    EXPECT_EQ(p.istate, -3);
  }
  EXPECT_EQ(solver_state.ILLEGAL_COUNT, 5);
}

TEST_F(RunEnding, ASuccessfulCallClearsTheIllegalCount) {
  problem p(3, 22);
  robertson_start(p);
  message_capture capture;
  for (int round = 0; round < 3; ++round) {  // 3 x 5 illegal calls, never 6 in a row
    p.itask = 9;
    for (int k = 0; k < 5; ++k) {
      p.call(robertson_f);
      ASSERT_EQ(p.istate, -3);
      p.istate = round == 0 ? 1 : 2;
    }
    p.itask = 1;
    p.tout = 0.4 * (round + 1);
    p.call(robertson_f);
    ASSERT_EQ(p.istate, 2);
  }
  EXPECT_EQ(solver_state.ILLEGAL_COUNT, 0);
}

}  // namespace
}  // namespace integrator::testing
