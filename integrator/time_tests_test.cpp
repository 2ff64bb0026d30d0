// The driver's time tests once steps have been taken: TOUT against TCUR - HU
// and TCRIT against TCUR with their slack, the cut of a step that would pass
// TCRIT, and which times interpolation accepts inside the last step.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "integrator/driver_test_support.h"
#include "integrator/support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

const double inf = std::numeric_limits<double>::infinity();

// --- time tests after some steps ---

struct now {
  double dir, tcur, h, hu;
  double tp() const { return tcur - hu * (1.0 + 100.0 * roundoff); }
  double ahead(double x) const { return std::nextafter(x, dir * inf); }
  double behind(double x) const { return std::nextafter(x, -dir * inf); }
  // The farthest TCRIT ahead that counts as hit, |TCUR - TCRIT| <= 100*ROUNDOFF*HMX.
  double last_hit() const {
    const double bound = 100.0 * roundoff * (std::fabs(tcur) + std::fabs(h));
    double c = tcur + dir * bound;
    while (std::fabs(tcur - c) > bound) c = behind(c);
    while (std::fabs(tcur - ahead(c)) <= bound) c = ahead(c);
    return c;
  }
};

// y' = 0.5 from 0 in direction dir, three single steps.
now stepped(problem& p, double dir) {
  p.y[0] = 1.0;
  p.rtol[0] = 1e-6;
  p.atol[0] = 1e-9;
  p.itask = 2;
  p.tout = 10.0 * dir;
  for (int k = 0; k < 3; ++k) {
    p.call(linear_growth);
    p.istate = 2;
  }
  return {dir, p.rwork[12], p.rwork[11], p.rwork[10]};
}

enum class ends { at_tout, at_tcrit, at_tcur };

struct continuation {
  const char* name;
  int itask;
  std::function<void(problem&, const now&)> set;  // TOUT and TCRIT
  int istate, steps;
  ends t;
  std::function<std::vector<std::string>(const problem&, const now&)> lines;
};

std::vector<std::string> none(const problem&, const now&) { return {}; }

std::vector<std::string> trouble_at_tout(const problem& p, const now& n) {
  return {text(messages::interpolation_t_illegal),
          one_real(p.tout),
          text(messages::interpolation_t_outside),
          two_reals(n.tp(), n.tcur),
          text(messages::interpolation_trouble),
          ints(p.itask),
          one_real(p.tout)};
}

std::vector<std::string> tcrit_behind_tcur(const problem& p, const now& n) {
  return {text(messages::tcrit_behind_tcur), two_reals(p.rwork[0], n.tcur)};
}

class Continuation : public ::testing::TestWithParam<continuation> {
 protected:
  void SetUp() override { reset_blocks(); }
  void TearDown() override { reset_blocks(); }
};

TEST_P(Continuation, TimeTestsWithTheirSlack) {
  const continuation& c = GetParam();
  for (double dir : {1.0, -1.0}) {
    SCOPED_TRACE(dir > 0 ? "forward" : "backward");
    reset_blocks();
    problem p(1, 22);
    const now n = stepped(p, dir);
    ASSERT_EQ(p.steps(), 3);
    p.itask = c.itask;
    c.set(p, n);
    message_capture capture;
    p.call(linear_growth);
    EXPECT_EQ(p.istate, c.istate);
    EXPECT_EQ(p.steps(), 3 + c.steps);
    if (c.istate == 2) {
      const double t = c.t == ends::at_tout ? p.tout : c.t == ends::at_tcrit ? p.rwork[0] : n.tcur;
      EXPECT_EQ(p.t, t);
    }
    EXPECT_EQ(capture.lines(), c.lines(p, n));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, Continuation,
                         ::testing::Values(
                             continuation{"itask3_tout_at_tp", 3,
                                          [](problem& p, const now& n) { p.tout = n.tp(); }, 2, 0,
                                          ends::at_tcur, none},
                             continuation{
                                 "itask3_tout_behind_tp", 3,
                                 [](problem& p, const now& n) { p.tout = n.behind(n.tp()); }, -3, 0,
                                 ends::at_tcur,
                                 [](const problem& p, const now& n) -> std::vector<std::string> {
                                   return {text(messages::tout_behind_last_step), ints(3),
                                           two_reals(p.tout, n.tp())};
                                 }},
                             continuation{"itask3_tout_at_tcur", 3,
                                          [](problem& p, const now& n) { p.tout = n.tcur; }, 2, 0,
                                          ends::at_tcur, none},
                             continuation{"itask1_tout_at_tp", 1,
                                          [](problem& p, const now& n) { p.tout = n.tp(); }, 2, 0,
                                          ends::at_tout, none},
                             continuation{"itask1_tout_at_tcur", 1,
                                          [](problem& p, const now& n) { p.tout = n.tcur; }, 2, 0,
                                          ends::at_tout, none},
                             continuation{"itask1_tout_behind_tp", 1,
                                          [](problem& p, const now& n) {
                                            p.tout = n.behind(n.tp());
                                          },
                                          -3, 0, ends::at_tout, trouble_at_tout},
                             continuation{"itask4_tout_behind_tp", 4,
                                          [](problem& p, const now& n) {
                                            p.tout = n.behind(n.tp());
                                            p.rwork[0] = n.tcur + n.h;
                                          },
                                          -3, 0, ends::at_tout, trouble_at_tout},
                             continuation{"itask5_tcrit_at_tcur", 5,
                                          [](problem& p, const now& n) { p.rwork[0] = n.tcur; }, 2,
                                          0, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_at_tcur", 4,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = p.tout = n.tcur; },
                                          2, 0, ends::at_tout, none},
                             continuation{"itask5_tcrit_behind_tcur", 5,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.behind(n.tcur);
                                          },
                                          -3, 0, ends::at_tcrit, tcrit_behind_tcur},
                             // TCRIT behind TOUT as well: the TCUR test comes first
                             continuation{"itask4_tcrit_behind_tcur", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.behind(n.tcur);
                                            p.tout = n.tcur + n.h;
                                          },
                                          -3, 0, ends::at_tcrit, tcrit_behind_tcur},
                             continuation{"itask4_tcrit_behind_tout", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.tcur + n.h;
                                            p.tout = n.ahead(p.rwork[0]);
                                          },
                                          -3, 0, ends::at_tcrit,
                                          [](const problem& p,
                                             const now&) -> std::vector<std::string> {
                                            return {text(messages::tcrit_behind_tout),
                                                    two_reals(p.rwork[0], p.tout)};
                                          }},
                             continuation{"itask4_tcrit_at_tout", 4,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = p.tout = n.tcur + n.h; },
                                          2, 1, ends::at_tout, none},
                             // within the hit slack no step is taken; just beyond it, one step to
                             // TCRIT
                             continuation{"itask5_tcrit_last_hit", 5,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = n.last_hit(); },
                                          2, 0, ends::at_tcrit, none},
                             continuation{"itask5_tcrit_first_miss", 5,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = n.ahead(n.last_hit());
                                          },
                                          2, 1, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_last_hit", 4,
                                          [](problem& p,
                                             const now& n) { p.rwork[0] = p.tout = n.last_hit(); },
                                          2, 0, ends::at_tcrit, none},
                             continuation{"itask4_tcrit_first_miss", 4,
                                          [](problem& p, const now& n) {
                                            p.rwork[0] = p.tout = n.ahead(n.last_hit());
                                          },
                                          2, 1, ends::at_tcrit, none}),
                         [](const ::testing::TestParamInfo<continuation>& info) {
                           return std::string(info.param.name);
                         });

// A step whose end, stretched by 4*ROUNDOFF, would pass TCRIT is cut to
// (TCRIT - TCUR)*(1 - 4*ROUNDOFF); the step routine then applies the cut as
// the ratio to the step it had planned. TCRIT at TCUR + H*(1 + k*ROUNDOFF):
// with k = 3.5 the step is cut, with k = 4.5 it is not. (Right at the bound
// the cut step would equal the planned one.)
TEST_F(DriverLimits, StepThatWouldPassTcritIsCutShortOfIt) {
  for (int itask : {4, 5}) {
    for (double dir : {1.0, -1.0}) {
      for (double k : {3.5, 4.5}) {
        SCOPED_TRACE("ITASK " + std::to_string(itask) + (dir > 0 ? " forward" : " backward") +
                     " k " + std::to_string(k));
        reset_blocks();
        problem p(1, 22);
        const now n = stepped(p, dir);
        const double tcrit = n.tcur + n.h * (1.0 + k * roundoff);
        p.itask = itask;
        p.rwork[0] = tcrit;
        p.tout = tcrit;
        p.call(linear_growth);
        ASSERT_EQ(p.istate, 2);
        EXPECT_EQ(p.steps(), 4);
        EXPECT_EQ(p.t, tcrit);
        const double cut = (tcrit - n.tcur) * (1.0 - 4.0 * roundoff);
        EXPECT_EQ(p.rwork[10], k < 4.0 ? n.h * (cut / n.h) : n.h);
        EXPECT_NE(cut, n.h);  // the two outcomes differ
      }
    }
  }
}

// A cut for TCRIT changes only H: the step routine rescales the history and
// keeps the iteration matrix while H*l0 stays within 30 % of its value at the
// last evaluation (a change of inputs would re-form it).
TEST_F(DriverLimits, CutForTcritKeepsTheIterationMatrix) {
  for (double dir : {1.0, -1.0}) {
    SCOPED_TRACE(dir > 0 ? "forward" : "backward");
    reset_blocks();
    problem p(1, 21);
    const now n = stepped(p, dir);
    const solver_state_block& s = solver_state;
    const double cut = 0.85;
    ASSERT_LE(std::fabs(s.HL_RATIO * cut - 1.0), 0.3);
    ASSERT_LT(s.STEP_COUNT, s.MATRIX_STEP + s.MAX_MATRIX_AGE);
    const int jacobians = p.jacobians();
    p.itask = 5;
    p.rwork[0] = p.tout = n.tcur + cut * n.h;
    p.call(linear_growth);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(p.steps(), 4);
    EXPECT_EQ(p.t, p.rwork[0]);
    EXPECT_EQ(p.jacobians(), jacobians);
  }
}

// --- interpolation inside the last step ---

TEST_F(DriverLimits, InterpolationAcceptsExactlyTheWidenedLastStep) {
  for (double dir : {1.0, -1.0}) {
    SCOPED_TRACE(dir > 0 ? "forward" : "backward");
    reset_blocks();
    problem p(1, 22);
    const now n = stepped(p, dir);
    const solver_state_block& s = solver_state;
    const double* hist = p.rwork.data() + 20;
    message_capture capture;
    double d = 42.0;
    int status = 9;
    for (double t : {n.tcur, n.tp()}) {
      for (int k : {0, s.ORDER}) {
        interpolate(t, k, hist, s.HIST_LEN, &d, status);
        EXPECT_EQ(status, 0) << "K " << k;
      }
    }
    d = 42.0;
    interpolate(n.tcur, -1, hist, s.HIST_LEN, &d, status);
    EXPECT_EQ(status, -1);
    const double outside[] = {n.behind(n.tp()), n.ahead(n.tcur)};
    for (double t : outside) {
      interpolate(t, 0, hist, s.HIST_LEN, &d, status);
      EXPECT_EQ(status, -2);
    }
    EXPECT_EQ(d, 42.0);
    std::vector<std::string> want = {text(messages::interpolation_k_illegal), ints(-1)};
    for (double t : outside) {
      want.push_back(text(messages::interpolation_t_illegal));
      want.push_back(one_real(t));
      want.push_back(text(messages::interpolation_t_outside));
      want.push_back(two_reals(n.tp(), n.tcur));
    }
    EXPECT_EQ(capture.lines(), want);
  }
}

}  // namespace
}  // namespace integrator::testing
