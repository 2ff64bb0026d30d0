#include "integrator/step.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "integrator/solver_state.h"
#include "integrator/support.h"

namespace integrator {

namespace {

// The step's constants. Results rest on them bit for bit.

// Step-size ratio caps: the first growth of a problem, later growths after
// a successful step, and any change after a failure.
constexpr double ratio_max_at_start = 10000.0;
constexpr double ratio_max_after_success = 10.0;
constexpr double ratio_max_after_failure = 2.0;

// A successful step changes H only for a ratio of at least this much; a
// rejected change holds H for this many steps.
constexpr double ratio_worth_a_change = 1.1;
constexpr int wait_after_rejected_change = 3;

// Bias factors of the three candidate ratios 1/(c*x^p + c*1e-6): the small
// term keeps a zero error estimate from giving an infinite ratio.
constexpr double bias_same_order = 1.2;
constexpr double bias_same_order_small = 1.2e-6;
constexpr double bias_order_down = 1.3;
constexpr double bias_order_down_small = 1.3e-6;
constexpr double bias_order_up = 1.4;
constexpr double bias_order_up_small = 1.4e-6;

// Corrector: the convergence-rate estimate at a fresh matrix, how fast an
// old estimate may fall, its weight in the test, the test's numerator over
// (ORDER + 2), and the growth of the correction that counts as divergence.
constexpr double conv_rate_fresh = 0.7;
constexpr double conv_rate_decay = 0.2;
constexpr double conv_rate_weight = 1.5;
constexpr double conv_test_numerator = 0.5;
constexpr double divergence_growth = 2.0;

// A step at |H| <= HMIN times this is at the minimum: a failure there ends
// the call instead of cutting H.
constexpr double hmin_slack = 1.00001;

// Step cut after a corrector failure.
constexpr double cut_after_corrector_failure = 0.25;

// Error-test failures: the second one allows at most this ratio; from the
// third one on the step restarts at order 1 with a ratio of at least this,
// holding the new H for this many steps; this many in a row end the call.
constexpr double ratio_max_second_failure = 0.2;
constexpr int failures_before_restart = 3;
constexpr double ratio_min_restart = 0.1;
constexpr int wait_after_restart = 5;
constexpr int error_failures_limit = 10;

// At a problem's start: order 1 held for this many steps.
constexpr int wait_at_start = 2;

// The vectors of one call, and the history's shape.
struct step_arrays {
  int* NEQ;
  double* Y;
  double* HIST;
  int HIST_LEN;
  double* HIST_FLAT;
  double* EWT;
  double* F_SAVE;
  double* CORR;
  double* MATRIX_WORK;
  int* MATRIX_IWORK;
  rhs_routine F;
  jac_routine JAC;
  matrix_routine prepare;
  solve_routine solve;

  double* column(int j) const {  // one-based history column
    return HIST + static_cast<std::ptrdiff_t>(j - 1) * HIST_LEN;
  }
};

void call_f(const step_arrays& a, double* out) {
  double t = solver_state.TCUR;
  a.F(a.NEQ, &t, a.Y, out);
  solver_state.F_COUNT += 1;
}

double test_constant(int row, int order) { return solver_state.TEST_TABLE[order - 1][row - 1]; }

void load_coefficients() {
  solver_state_block& s = solver_state;
  for (int i = 0; i < s.NCOEF; ++i) s.COEF[i] = s.COEF_TABLE[s.ORDER - 1][i];
  s.HL_RATIO = s.HL_RATIO * s.COEF[0] / s.COEF1_PRIOR;
  s.COEF1_PRIOR = s.COEF[0];
  s.CONV_TEST = conv_test_numerator / (s.ORDER + 2);
}

// Pascal-triangle sweep over the flat history: sign +1 predicts, -1 undoes.
void sweep_prediction(const step_arrays& a, double sign) {
  const int order = solver_state.ORDER;
  const std::ptrdiff_t len = a.HIST_LEN;
  const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(order) * len;
  double* h = a.HIST_FLAT;
  for (int k = 1; k <= order; ++k) {
    const std::ptrdiff_t begin = static_cast<std::ptrdiff_t>(order - k) * len;
    if (sign > 0)
      for (std::ptrdiff_t i = begin; i < end; ++i) h[i] = h[i] + h[i + len];
    else
      for (std::ptrdiff_t i = begin; i < end; ++i) h[i] = h[i] - h[i + len];
  }
}

// Rescales the history for the step H*r (r already floored if asked).
void change_step(const step_arrays& a, double r) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  r = std::min(r, s.RATIO_MAX);
  r = r / std::max(1.0, std::fabs(s.H) * s.HMAX_INV * r);
  double power = 1.0;
  for (int j = 2; j <= s.NCOEF; ++j) {
    power = power * r;
    double* col = a.column(j);
    for (int i = 0; i < n; ++i) col[i] = col[i] * power;
  }
  s.H = s.H * r;
  s.HL_RATIO = s.HL_RATIO * r;
  s.ORDER_WAIT = s.NCOEF;
}

enum class corrector_result { converged, failed };

// Corrector iteration from the predicted history. On convergence `d` is the
// last correction norm and `m` the number of iterations after the first.
corrector_result correct(const step_arrays& a, double& d, int& m) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  const double* col1 = a.column(1);
  const double* col2 = a.column(2);
  double d_prev = 0.0;
  for (;;) {
    m = 0;
    for (int i = 0; i < n; ++i) a.Y[i] = col1[i];
    call_f(a, a.F_SAVE);
    if (s.MATRIX_DUE > 0) {
      s.MATRIX_DUE = 0;
      s.HL_RATIO = 1.0;
      s.MATRIX_STEP = s.STEP_COUNT;
      s.CONV_RATE = conv_rate_fresh;
      a.prepare(a.NEQ, a.Y, a.HIST, a.HIST_LEN, a.EWT, a.CORR, a.F_SAVE, a.MATRIX_WORK,
                a.MATRIX_IWORK, a.F, a.JAC);
      if (s.MATRIX_ERROR != 0) return corrector_result::failed;
    }
    std::fill(a.CORR, a.CORR + n, 0.0);

    for (;;) {
      if (s.ITERATION == 0) {
        for (int i = 0; i < n; ++i) {
          a.F_SAVE[i] = s.H * a.F_SAVE[i] - col2[i];
          a.Y[i] = a.F_SAVE[i] - a.CORR[i];
        }
        d = weighted_norm(n, a.Y, a.EWT);
        for (int i = 0; i < n; ++i) {
          a.Y[i] = col1[i] + s.COEF[0] * a.F_SAVE[i];
          a.CORR[i] = a.F_SAVE[i];
        }
      } else {
        for (int i = 0; i < n; ++i) a.Y[i] = s.H * a.F_SAVE[i] - (col2[i] + a.CORR[i]);
        a.solve(a.MATRIX_WORK, a.MATRIX_IWORK, a.Y, a.F_SAVE);
        if (s.SOLVE_ERROR != 0) break;
        d = weighted_norm(n, a.Y, a.EWT);
        for (int i = 0; i < n; ++i) {
          a.CORR[i] = a.CORR[i] + a.Y[i];
          a.Y[i] = col1[i] + s.COEF[0] * a.CORR[i];
        }
      }
      if (m != 0) s.CONV_RATE = std::max(conv_rate_decay * s.CONV_RATE, d / d_prev);
      const double dcon = d * std::min(1.0, conv_rate_weight * s.CONV_RATE) /
                          (test_constant(2, s.ORDER) * s.CONV_TEST);
      if (dcon <= 1.0) return corrector_result::converged;
      m += 1;
      if (m == s.MAX_CORR) break;
      if (m >= 2 && d > divergence_growth * d_prev) break;
      d_prev = d;
      call_f(a, a.F_SAVE);
    }
    // An old matrix may be to blame: retry once with a fresh one, same H.
    if (s.ITERATION == 0 || s.JAC_CURRENT == 1) return corrector_result::failed;
    s.CONV_FAIL = 1;
    s.MATRIX_DUE = s.ITERATION;
  }
}

// 1/(c*x^p + c*1e-6): the step ratio that a norm x allows at exponent p.
double allowed_ratio(double x, int p_inverse, double c, double c_small) {
  return 1.0 / (c * std::pow(x, 1.0 / p_inverse) + c_small);
}

enum class choice { keep, change };

// Picks the order and step ratio from the same-order error ratio e; after a
// failure (STEP_RESULT < 0) no order increase is weighed. `keep` means the
// step stands unchanged (success only).
choice choose_step_and_order(const step_arrays& a, double e, double& r) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  const bool success = s.STEP_RESULT == 0;
  double up = 0.0;
  if (success && s.NCOEF != s.HIST_COLS) {
    const double* kept = a.column(s.HIST_COLS);
    for (int i = 0; i < n; ++i) a.F_SAVE[i] = a.CORR[i] - kept[i];
    const double dup = weighted_norm(n, a.F_SAVE, a.EWT) / test_constant(3, s.ORDER);
    up = allowed_ratio(dup, s.NCOEF + 1, bias_order_up, bias_order_up_small);
  }
  const double same = allowed_ratio(e, s.NCOEF, bias_same_order, bias_same_order_small);
  double down = 0.0;
  if (s.ORDER != 1) {
    const double ddn = weighted_norm(n, a.column(s.NCOEF), a.EWT) / test_constant(1, s.ORDER);
    down = allowed_ratio(ddn, s.ORDER, bias_order_down, bias_order_down_small);
  }

  int new_order;
  if (same >= up ? down > same : !(up > down)) {
    new_order = s.ORDER - 1;
    r = down;
    if (!success && r > 1.0) r = 1.0;
  } else if (same >= up) {
    new_order = s.ORDER;
    r = same;
  } else {
    r = up;
    if (r < ratio_worth_a_change) {
      s.ORDER_WAIT = wait_after_rejected_change;
      return choice::keep;
    }
    const double factor = s.COEF[s.NCOEF - 1] / s.NCOEF;
    double* next = a.column(s.NCOEF + 1);
    for (int i = 0; i < n; ++i) next[i] = a.CORR[i] * factor;
    s.ORDER = s.NCOEF;
    s.NCOEF = s.ORDER + 1;
    load_coefficients();
    return choice::change;
  }

  if (success && r < ratio_worth_a_change) {
    s.ORDER_WAIT = wait_after_rejected_change;
    return choice::keep;
  }
  if (s.STEP_RESULT <= -2) r = std::min(r, ratio_max_second_failure);
  if (new_order != s.ORDER) {
    s.ORDER = new_order;
    s.NCOEF = s.ORDER + 1;
    load_coefficients();
  }
  return choice::change;
}

void finish_call() {
  solver_state.H_PRIOR = solver_state.H;
  solver_state.START_MODE = 1;
}

void finish_success(const step_arrays& a) {
  const solver_state_block& s = solver_state;
  const double r = 1.0 / test_constant(2, s.ORDER_USED);
  for (int i = 0; i < s.NEQ_CURRENT; ++i) a.CORR[i] = a.CORR[i] * r;
  finish_call();
}

// What the step does next after its set-up or a failure.
enum class next_action { attempt, change_with_floor, change_without_floor };

// Entry set-up by START_MODE; may leave a ratio r for a first rescale.
next_action set_up(const step_arrays& a, double& r) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  if (s.START_MODE > 0) return next_action::attempt;

  if (s.START_MODE == 0) {
    s.HIST_COLS = s.MAXORD + 1;
    s.ORDER = 1;
    s.NCOEF = 2;
    s.ORDER_WAIT = wait_at_start;
    s.RATIO_MAX = ratio_max_at_start;
    s.HL_RATIO = 0.0;
    s.COEF1_PRIOR = 1.0;
    s.CONV_RATE = conv_rate_fresh;
    s.H_PRIOR = s.H;
    s.METHOD_PRIOR = s.METHOD;
    s.MATRIX_STEP = 0;
    s.MATRIX_DUE = s.ITERATION;
    set_coefficients(s.METHOD, s.COEF_TABLE, s.TEST_TABLE);
    load_coefficients();
    return next_action::attempt;
  }

  if (s.START_MODE == -1) {
    s.MATRIX_DUE = s.ITERATION;
    s.HIST_COLS = s.MAXORD + 1;
    if (s.ORDER_WAIT == 1) s.ORDER_WAIT = 2;
    if (s.METHOD != s.METHOD_PRIOR) {
      set_coefficients(s.METHOD, s.COEF_TABLE, s.TEST_TABLE);
      s.METHOD_PRIOR = s.METHOD;
      if (s.ORDER <= s.MAXORD) {
        s.ORDER_WAIT = s.NCOEF;
        load_coefficients();
      }
    }
    if (s.ORDER > s.MAXORD) {
      // The maximum order was lowered below the current one; F_SAVE holds
      // the history column just beyond the new last one.
      s.ORDER = s.MAXORD;
      s.NCOEF = s.HIST_COLS;
      load_coefficients();
      const double ddn = weighted_norm(n, a.F_SAVE, a.EWT) / test_constant(1, s.NCOEF);
      r = std::min(allowed_ratio(ddn, s.NCOEF, bias_order_down, bias_order_down_small), 1.0);
      if (s.H == s.H_PRIOR) return next_action::change_with_floor;
      r = std::min(r, std::fabs(s.H / s.H_PRIOR));
      s.H = s.H_PRIOR;
      return next_action::change_without_floor;
    }
  }

  // A new H only: rescale the history to it.
  if (s.H == s.H_PRIOR) return next_action::attempt;
  r = s.H / s.H_PRIOR;
  s.H = s.H_PRIOR;
  return next_action::change_without_floor;
}

}  // namespace

void take_step(int* NEQ, double* Y, double* HIST, int HIST_LEN, double* HIST_FLAT, double* EWT,
               double* F_SAVE, double* CORR, double* MATRIX_WORK, int* MATRIX_IWORK, rhs_routine F,
               jac_routine JAC, matrix_routine prepare, solve_routine solve) {
  solver_state_block& s = solver_state;
  const step_arrays a{NEQ,  Y,           HIST,         HIST_LEN, HIST_FLAT, EWT,     F_SAVE,
                      CORR, MATRIX_WORK, MATRIX_IWORK, F,        JAC,       prepare, solve};
  const int n = s.NEQ_CURRENT;

  s.STEP_RESULT = 0;
  s.MATRIX_ERROR = 0;
  s.SOLVE_ERROR = 0;
  s.JAC_CURRENT = 0;
  s.CONV_FAIL = 0;
  int conv_fails = 0;
  const double t_start = s.TCUR;

  double r = 1.0;
  next_action next = set_up(a, r);
  bool concludes_success = false;

  for (;;) {
    if (next != next_action::attempt) {
      if (next == next_action::change_with_floor) r = std::max(r, s.HMIN / std::fabs(s.H));
      change_step(a, r);
      if (concludes_success) {
        s.RATIO_MAX = ratio_max_after_success;
        finish_success(a);
        return;
      }
    }

    // One attempt with the current H.
    if (std::fabs(s.HL_RATIO - 1.0) > s.HL_CHANGE_MAX) s.MATRIX_DUE = s.ITERATION;
    if (s.STEP_COUNT >= s.MATRIX_STEP + s.MAX_MATRIX_AGE) s.MATRIX_DUE = s.ITERATION;
    s.TCUR = s.TCUR + s.H;
    sweep_prediction(a, +1.0);

    double d = 0.0;
    int m = 0;
    if (correct(a, d, m) == corrector_result::failed) {
      s.CONV_FAIL = 2;
      conv_fails += 1;
      s.RATIO_MAX = ratio_max_after_failure;
      s.TCUR = t_start;
      sweep_prediction(a, -1.0);
      if (std::fabs(s.H) <= s.HMIN * hmin_slack || conv_fails == s.MAX_CONV_FAIL) {
        s.STEP_RESULT = -2;
        finish_call();
        return;
      }
      r = cut_after_corrector_failure;
      s.MATRIX_DUE = s.ITERATION;
      next = next_action::change_with_floor;
      continue;
    }

    s.JAC_CURRENT = 0;
    const double e = (m == 0 ? d : weighted_norm(n, CORR, EWT)) / test_constant(2, s.ORDER);

    if (e <= 1.0) {
      s.STEP_RESULT = 0;
      s.STEP_COUNT += 1;
      s.HU = s.H;
      s.ORDER_USED = s.ORDER;
      for (int j = 1; j <= s.NCOEF; ++j) {
        double* col = a.column(j);
        const double c = s.COEF[j - 1];
        for (int i = 0; i < n; ++i) col[i] = col[i] + c * CORR[i];
      }
      s.ORDER_WAIT -= 1;
      if (s.ORDER_WAIT == 0) {
        if (choose_step_and_order(a, e, r) == choice::keep) {
          finish_success(a);
          return;
        }
        concludes_success = true;
        next = next_action::change_with_floor;
        continue;
      }
      if (s.ORDER_WAIT == 1 && s.NCOEF != s.HIST_COLS) {
        double* kept = a.column(s.HIST_COLS);
        for (int i = 0; i < n; ++i) kept[i] = CORR[i];
      }
      finish_success(a);
      return;
    }

    // Error test failed: undo the prediction and retry smaller.
    s.STEP_RESULT -= 1;
    s.TCUR = t_start;
    sweep_prediction(a, -1.0);
    s.RATIO_MAX = ratio_max_after_failure;
    if (std::fabs(s.H) <= s.HMIN * hmin_slack) {
      s.STEP_RESULT = -1;
      finish_call();
      return;
    }
    if (s.STEP_RESULT > -failures_before_restart) {
      choose_step_and_order(a, e, r);
      next = next_action::change_with_floor;
      continue;
    }
    if (s.STEP_RESULT == -error_failures_limit) {
      s.STEP_RESULT = -1;
      finish_call();
      return;
    }
    // Repeated failures: restart at order 1 from a fresh derivative.
    r = std::max(ratio_min_restart, s.HMIN / std::fabs(s.H));
    s.H = s.H * r;
    for (int i = 0; i < n; ++i) Y[i] = HIST[i];
    call_f(a, F_SAVE);
    double* col2 = a.column(2);
    for (int i = 0; i < n; ++i) col2[i] = s.H * F_SAVE[i];
    s.MATRIX_DUE = s.ITERATION;
    s.ORDER_WAIT = wait_after_restart;
    if (s.ORDER != 1) {
      s.ORDER = 1;
      s.NCOEF = 2;
      load_coefficients();
    }
    next = next_action::attempt;
  }
}

}  // namespace integrator
