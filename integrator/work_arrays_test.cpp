// The caller's arrays: what an ISTATE 3 call with fewer equations or a lower
// maximum order does to RWORK, tolerance arrays read no further than ITOL says,
// and work arrays of exactly the needed length (one short is refused).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "integrator/driver_test_support.h"
#include "integrator/test_problems.h"

namespace integrator::testing {
namespace {

// --- ISTATE 3 ---

// TOUT = TCUR: the ISTATE 3 call interpolates and takes no step, so what it
// did to the work arrays can be read afterwards.
struct neq_change {
  int neq;
  bool zeroed;
};

TEST_F(DriverLimits, FewerEquationsZeroTheHistoryColumnsBeyondTheOrder) {
  for (const neq_change& r : {neq_change{3, false}, neq_change{2, true}, neq_change{1, true}}) {
    SCOPED_TRACE("NEQ 3 to " + std::to_string(r.neq));
    reset_blocks();
    problem p(3, 22);
    p.y = {1.0, 1.0, 1.0};
    p.rtol[0] = 1e-6;
    p.atol[0] = 1e-9;
    p.itask = 2;
    p.tout = 10.0;
    for (int k = 0; k < 3; ++k) {
      p.call(decay3);
      ASSERT_EQ(p.istate, 2);
    }
    const int ncoef = solver_state.NCOEF;
    const int maxord = 5;
    ASSERT_LT(ncoef, maxord + 1);
    auto column = [&p](int j) { return p.rwork.begin() + 20 + (j - 1) * 3; };
    const std::vector<double> kept(column(ncoef + 1), column(maxord + 2));
    std::fill(column(ncoef + 1), column(maxord + 2), 7.0);
    const int matrix_work1 = 20 + (maxord + 1) * 3;
    p.rwork[matrix_work1] = 0.0;
    const std::vector<double> before = p.rwork;

    // tolerance arrays of exactly NEQ elements from now on
    p.neq = r.neq;
    p.itol = 4;
    p.rtol = std::vector<double>(r.neq, 1e-6);
    p.atol = std::vector<double>(r.neq, 1e-9);
    p.istate = 3;
    p.itask = 1;
    p.tout = p.rwork[12];
    p.call(decay3);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(p.steps(), 3);
    EXPECT_TRUE(std::equal(column(1), column(ncoef + 1), before.begin() + 20));
    for (auto v = column(ncoef + 1); v != column(maxord + 2); ++v)
      EXPECT_EQ(*v, r.zeroed ? 0.0 : 7.0) << "place " << (v - p.rwork.begin()) + 1;
    EXPECT_EQ(p.rwork[matrix_work1], std::sqrt(roundoff));

    if (!r.zeroed) std::copy(kept.begin(), kept.end(), column(ncoef + 1));
    p.istate = 2;
    p.tout = 2.0;
    p.call(decay3);
    ASSERT_EQ(p.istate, 2);
    for (int i = 0; i < r.neq; ++i) EXPECT_NEAR(p.y[i], std::exp(-(i + 1.0) * 2.0), 1e-5);
  }
}

// Lowering MAXORD below ORDER: column MAXORD + 2 now lies where MATRIX_WORK
// begins, and is saved into F_SAVE before that place gets sqrt(ROUNDOFF).
TEST_F(DriverLimits, LoweredMaximumOrderSavesTheColumnBeyondIt) {
  for (int drop : {1, 0}) {
    SCOPED_TRACE("MAXORD = ORDER - " + std::to_string(drop));
    reset_blocks();
    problem p(3, 22);
    p.y = {1.0, 0.0, 0.0};
    p.itol = 2;
    p.rtol[0] = 1e-6;
    p.atol = {1e-8, 1e-12, 1e-8};
    for (p.tout = 0.4; p.tout < 41.0; p.tout *= 10.0) p.call(robertson_f);
    ASSERT_EQ(p.istate, 2);
    const int order = solver_state.ORDER;
    ASSERT_GE(order, 3);
    const int maxord = order - drop;
    const int matrix_at = 20 + (maxord + 1) * 3;  // zero-based
    const int f_save_at = matrix_at + (3 * 3 + 2) + 3;
    for (int i = 0; i < 3; ++i) p.rwork[f_save_at + i] = 99.0;
    const std::vector<double> column(p.rwork.begin() + matrix_at, p.rwork.begin() + matrix_at + 3);

    p.istate = 3;
    p.iopt = 1;
    p.iwork[4] = maxord;
    p.tout = p.rwork[12];
    p.call(robertson_f);
    ASSERT_EQ(p.istate, 2);
    EXPECT_EQ(solver_state.MAXORD, maxord);
    EXPECT_EQ(p.iwork[16], 20 + (maxord + 1) * 3 + 11 + 9);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.rwork[f_save_at + i], drop ? column[i] : 99.0) << i;
    EXPECT_EQ(p.rwork[matrix_at], std::sqrt(roundoff));
  }
}

// --- exact lengths of the caller's arrays ---

// Tolerances that are scalars are read at their first element only, arrays
// at NEQ elements: poison beyond what may be read changes nothing, and the
// exact-size storage lets the address sanitizer see any read past it.
TEST_F(DriverLimits, ToleranceStorageIsReadNoFurtherThanItsKind) {
  const double rtols[3] = {1e-6, 1e-5, 1e-7};
  const double atols[3] = {1e-9, 1e-8, 1e-10};
  for (int itol = 1; itol <= 4; ++itol) {
    const std::size_t nr = itol >= 3 ? 3 : 1;
    const std::size_t na = itol == 2 || itol == 4 ? 3 : 1;
    struct outcome {
      int istate, steps;
      std::vector<double> y;
      bool operator==(const outcome&) const = default;
    };
    auto run = [itol](std::vector<double> rtol, std::vector<double> atol) {
      reset_blocks();
      problem p(3, 22);
      p.y = {1.0, 1.0, 1.0};
      p.itol = itol;
      p.tout = 2.0;
      integrate(decay3, &p.neq, p.y.data(), p.t, p.tout, p.itol, rtol.data(), atol.data(), p.itask,
                p.istate, p.iopt, p.rwork.data(), p.lrw, p.iwork.data(), p.liw, no_jac, p.mf);
      return outcome{p.istate, p.steps(), p.y};
    };
    const outcome clean =
        run(std::vector<double>(rtols, rtols + nr), std::vector<double>(atols, atols + na));
    ASSERT_EQ(clean.istate, 2) << "ITOL " << itol;
    for (double poison : {-1.0, 0.5}) {
      std::vector<double> rtol(rtols, rtols + nr), atol(atols, atols + na);
      rtol.resize(6, poison);
      atol.resize(6, poison);
      message_capture capture;  // a poisoned read would show as message 19 or 20
      EXPECT_TRUE(run(rtol, atol) == clean) << "ITOL " << itol << " poison " << poison;
    }
  }
}

void banded3(int*, double*, double* y, double* ydot) {
  ydot[0] = -y[0] + 0.1 * y[1];
  ydot[1] = 0.2 * y[0] - 2.0 * y[1] + 0.1 * y[2];
  ydot[2] = 0.3 * y[0] + 0.3 * y[1] - 3.0 * y[2];
}

struct layout {
  int mf, ml, mu, matrix_len, pivots;
};

TEST_F(DriverLimits, WorkArraysOfExactlyTheNeededLengthAreEnough) {
  const int n = 3;
  const layout rows[] = {{10, 0, 0, 0, 0},
                         {13, 0, 0, n + 2, 0},
                         {22, 0, 0, n * n + 2, n},
                         {25, 2, 1, (2 * 2 + 1 + 1) * n + 2, n}};
  for (const layout& r : rows) {
    const int maxord = r.mf < 20 ? 12 : 5;
    const int lenrw = 20 + (maxord + 1) * n + r.matrix_len + 3 * n;
    const int leniw = 20 + r.pivots;
    for (int short_by : {0, 1, 2}) {  // none, RWORK, IWORK
      SCOPED_TRACE("MF " + std::to_string(r.mf) + " short " + std::to_string(short_by));
      reset_blocks();
      int neq = n, itol = 1, itask = 1, istate = 1, iopt = 0, mf = r.mf;
      std::vector<double> y = {1.0, 1.0, 1.0};
      double t = 0.0, tout = 1.0, rtol = 1e-6, atol = 1e-9;
      int lrw = lenrw - (short_by == 1), liw = leniw - (short_by == 2);
      std::vector<double> rwork(lrw, 0.0);
      std::vector<int> iwork(liw, 0);
      iwork[0] = r.ml;
      iwork[1] = r.mu;
      message_capture capture;
      integrate(banded3, &neq, y.data(), t, tout, itol, &rtol, &atol, itask, istate, iopt,
                rwork.data(), lrw, iwork.data(), liw, no_jac, mf);
      const std::vector<std::string> lines = capture.lines();
      EXPECT_EQ(iwork[16], lenrw);
      EXPECT_EQ(iwork[17], leniw);
      if (short_by == 0) {
        EXPECT_EQ(istate, 2);
        EXPECT_EQ(t, 1.0);
        EXPECT_EQ(lines, std::vector<std::string>{});
      } else if (short_by == 1) {
        EXPECT_EQ(istate, -3);
        EXPECT_EQ(lines,
                  (std::vector<std::string>{text(messages::rwork_too_short), ints(lenrw, lrw)}));
      } else {
        EXPECT_EQ(istate, -3);
        EXPECT_EQ(lines,
                  (std::vector<std::string>{text(messages::iwork_too_short), ints(leniw, liw)}));
      }
    }
  }
}

}  // namespace
}  // namespace integrator::testing
