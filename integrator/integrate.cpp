// The driver: checks the call, lays out the work arrays, starts a problem or
// continues one, runs the step loop and interpolates at TOUT.
#include "integrator/integrate.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "integrator/driver_call.h"
#include "integrator/input_checks.h"
#include "integrator/matrix.h"
#include "integrator/messages.h"
#include "integrator/solver_state.h"
#include "integrator/step.h"
#include "integrator/support.h"
#include "integrator/work_places.h"
#include "textio/exit_path.h"

namespace integrator {

namespace {

// The driver's constants; results rest on them bit for bit.

// Set at every start: the change of h*l0 that makes the iteration matrix
// due, corrector iterations per attempt, steps between matrix evaluations,
// corrector failures allowed in one step.
constexpr double hl_change_max = 0.3;
constexpr int max_corrector_iterations = 3;
constexpr int max_matrix_age = 20;
constexpr int max_corrector_failures = 10;

// First step: TOUT closer to T than this many roundoffs of max(|T|, |TOUT|)
// cannot start; the tolerance used lies between this many roundoffs and the
// cap.
constexpr double start_distance_roundoffs = 2.0;
constexpr double first_step_tol_roundoffs = 100.0;
constexpr double first_step_tol_cap = 0.001;

// Time tests, in roundoffs: TCRIT counts as hit within this many of
// |TCUR| + |H| (and the step-end task allows TOUT this many of HU behind the
// last step's start); a step is trimmed to end short of TCRIT by this many.
constexpr double time_slack_roundoffs = 100.0;
constexpr double tcrit_margin_roundoffs = 4.0;

// Calls in a row that end the run: ISTATE 1 with TOUT = T, and illegal input
// (the count reaches this many before the next one stops).
constexpr int repeated_start_limit = 5;
constexpr int illegal_input_limit = 5;

using driver::call;
using driver::checked_inputs;
using driver::msg;

[[noreturn]] void abort_run() {
  write_message(messages::run_aborted, 2);
  textio::stop(1);  // not reached: level 2 stops
}

// Ends the call as illegal input; the sixth in a row ends the run.
void illegal_input(call& c) {
  solver_state_block& s = solver_state;
  if (s.ILLEGAL_COUNT == illegal_input_limit) {
    msg(messages::repeated_illegal_input);
    abort_run();
  }
  s.ILLEGAL_COUNT += 1;
  c.ISTATE = -3;
}

void write_outputs(call& c) {
  const solver_state_block& s = solver_state;
  at_place(c.RWORK, rwork_place::HU) = s.HU;
  at_place(c.RWORK, rwork_place::H) = s.H;
  at_place(c.RWORK, rwork_place::TCUR) = s.TCUR;
  at_place(c.IWORK, iwork_place::STEP_COUNT) = s.STEP_COUNT;
  at_place(c.IWORK, iwork_place::F_COUNT) = s.F_COUNT;
  at_place(c.IWORK, iwork_place::JAC_COUNT) = s.JAC_COUNT;
  at_place(c.IWORK, iwork_place::ORDER_USED) = s.ORDER_USED;
  at_place(c.IWORK, iwork_place::ORDER) = s.ORDER;
}

void successful_return(call& c) {
  c.ISTATE = 2;
  solver_state.ILLEGAL_COUNT = 0;
  write_outputs(c);
}

void copy_solution_at_tcur(call& c) {
  const double* col1 = c.hist();
  for (int i = 0; i < solver_state.NEQ_CURRENT; ++i) c.Y[i] = col1[i];
}

// Return with Y at the end of the last step; T = TCRIT when it was hit.
void return_at_step_end(call& c, bool hit_tcrit) {
  copy_solution_at_tcur(c);
  c.T = hit_tcrit ? c.TCRIT : solver_state.TCUR;
  successful_return(c);
}

void error_return(call& c, int istate) {
  copy_solution_at_tcur(c);
  c.T = solver_state.TCUR;
  c.ISTATE = istate;
  solver_state.ILLEGAL_COUNT = 0;
  write_outputs(c);
}

// Solution at TOUT from the history; false (after messages) on failure.
bool interpolate_at_tout(call& c) {
  int status = 0;
  interpolate(c.TOUT, 0, c.hist(), solver_state.HIST_LEN, c.Y, status);
  return status == 0;
}

bool tcrit_hit(const call& c) {
  const solver_state_block& s = solver_state;
  const double hmx = std::fabs(s.TCUR) + std::fabs(s.H);
  return std::fabs(s.TCUR - c.TCRIT) <= time_slack_roundoffs * s.ROUNDOFF * hmx;
}

// True when TCRIT has been hit; otherwise trims H so that the next step ends
// at TCRIT rather than past it.
bool approach_tcrit(call& c, bool mark_h_changed) {
  solver_state_block& s = solver_state;
  if (tcrit_hit(c)) return true;
  const double tnext = s.TCUR + s.H * (1.0 + tcrit_margin_roundoffs * s.ROUNDOFF);
  if ((tnext - c.TCRIT) * s.H > 0.0) {
    s.H = (c.TCRIT - s.TCUR) * (1.0 - tcrit_margin_roundoffs * s.ROUNDOFF);
    if (mark_h_changed) s.START_MODE = -2;
  }
  return false;
}

// Sets EWT to the inverted weights of history column 1; the index (one-based)
// of the first weight <= 0, or 0 when all are positive.
int refresh_weights(call& c) {
  solver_state_block& s = solver_state;
  double* ewt = c.ewt();
  set_weights(s.NEQ_CURRENT, c.ITOL, c.RTOL, c.ATOL, c.hist(), ewt);
  for (int i = 0; i < s.NEQ_CURRENT; ++i) {
    if (ewt[i] <= 0.0) return i + 1;
    ewt[i] = 1.0 / ewt[i];
  }
  return 0;
}

void step_failure(call& c, int istate) {
  const solver_state_block& s = solver_state;
  const double* corr = c.segment(s.CORR_AT);
  const double* ewt = c.ewt();
  double big = 0.0;
  int largest = 1;
  for (int i = 0; i < s.NEQ_CURRENT; ++i) {
    const double size = std::fabs(corr[i] * ewt[i]);
    if (big >= size) continue;
    big = size;
    largest = i + 1;
  }
  at_place(c.IWORK, iwork_place::LARGEST_ERROR) = largest;
  error_return(c, istate);
}

// Steps until the task is done or something fails. The first pass of a new
// problem starts at the accuracy test (its weights are fresh).
void step_loop(call& c, bool first_pass) {
  solver_state_block& s = solver_state;
  for (;;) {
    if (!first_pass) {
      if (s.STEP_COUNT - s.STEPS_AT_CALL >= s.MXSTEP) {
        msg(messages::mxstep_reached);
        msg(messages::mxstep_before_tout, 1, s.MXSTEP, 0, 1, s.TCUR);
        error_return(c, -1);
        return;
      }
      if (const int bad = refresh_weights(c); bad != 0) {
        msg(messages::ewt_became_nonpositive, 1, bad, 0, 2, s.TCUR, c.ewt()[bad - 1]);
        error_return(c, -6);
        return;
      }
    }
    first_pass = false;

    double tolsf = s.ROUNDOFF * weighted_norm(s.NEQ_CURRENT, c.hist(), c.ewt());
    if (!(tolsf <= 1.0)) {
      tolsf = 2.0 * tolsf;
      at_place(c.RWORK, rwork_place::TOLSF) = tolsf;
      if (s.STEP_COUNT == 0) {
        msg(messages::start_accuracy);
        msg(messages::start_accuracy_tolsf, 0, 0, 0, 1, tolsf);
        illegal_input(c);
      } else {
        msg(messages::too_much_accuracy);
        msg(messages::too_much_accuracy_tolsf, 0, 0, 0, 2, s.TCUR, tolsf);
        error_return(c, -2);
      }
      return;
    }

    if (s.TCUR + s.H == s.TCUR) {
      s.HNIL_COUNT += 1;
      if (s.HNIL_COUNT <= s.MXHNIL) {
        msg(messages::tiny_step);
        msg(messages::tiny_step_machine);
        msg(messages::tiny_step_goes_on, 0, 0, 0, 2, s.TCUR, s.H);
        if (s.HNIL_COUNT == s.MXHNIL) {
          msg(messages::tiny_step_limit);
          msg(messages::tiny_step_not_again, 1, s.MXHNIL);
        }
      }
    }

    double* hist = c.hist();
    take_step(c.NEQ, c.Y, hist, s.HIST_LEN, hist, c.ewt(), c.segment(s.F_SAVE_AT),
              c.segment(s.CORR_AT), c.segment(s.MATRIX_WORK_AT), c.IWORK + (s.MATRIX_IWORK_AT - 1),
              c.F, c.JAC, prepare_matrix, solve_system);

    if (s.STEP_RESULT == -1) {
      msg(messages::error_test_failed);
      msg(messages::error_test_failed_repeatedly, 0, 0, 0, 2, s.TCUR, s.H);
      step_failure(c, -4);
      return;
    }
    if (s.STEP_RESULT == -2) {
      msg(messages::corrector_failed);
      msg(messages::corrector_failed_repeatedly);
      msg(messages::corrector_failed_hmin, 0, 0, 0, 2, s.TCUR, s.H);
      step_failure(c, -5);
      return;
    }

    s.INITIALISED = 1;
    const bool reached_tout = (s.TCUR - c.TOUT) * s.H >= 0.0;
    switch (c.ITASK) {
      case 1:
        if (!reached_tout) continue;
        interpolate_at_tout(c);  // inside the step just taken
        c.T = c.TOUT;
        successful_return(c);
        return;
      case 2:
        return_at_step_end(c, false);
        return;
      case 3:
        if (!reached_tout) continue;
        return_at_step_end(c, false);
        return;
      case 4:
        if (reached_tout) {
          interpolate_at_tout(c);
          c.T = c.TOUT;
          successful_return(c);
          return;
        }
        if (approach_tcrit(c, true)) {
          return_at_step_end(c, true);
          return;
        }
        continue;
      default:  // 5
        return_at_step_end(c, tcrit_hit(c));
        return;
    }
  }
}

// Continuation calls: the task may already be done before any step.
void continue_problem(call& c) {
  solver_state_block& s = solver_state;
  s.STEPS_AT_CALL = s.STEP_COUNT;
  const double h = s.H;
  switch (c.ITASK) {
    case 1:
    case 4:
      if (c.ITASK == 4) {
        c.TCRIT = at_place(c.RWORK, rwork_place::TCRIT);
        if ((s.TCUR - c.TCRIT) * h > 0.0) {
          msg(messages::tcrit_behind_tcur, 0, 0, 0, 2, c.TCRIT, s.TCUR);
          illegal_input(c);
          return;
        }
        if ((c.TCRIT - c.TOUT) * h < 0.0) {
          msg(messages::tcrit_behind_tout, 0, 0, 0, 2, c.TCRIT, c.TOUT);
          illegal_input(c);
          return;
        }
      }
      if ((s.TCUR - c.TOUT) * h >= 0.0) {
        if (!interpolate_at_tout(c)) {
          msg(messages::interpolation_trouble, 1, c.ITASK, 0, 1, c.TOUT);
          illegal_input(c);
          return;
        }
        c.T = c.TOUT;
        successful_return(c);
        return;
      }
      if (c.ITASK == 4 && approach_tcrit(c, c.ISTATE == 2)) {
        return_at_step_end(c, true);
        return;
      }
      break;
    case 2:
      break;
    case 3: {
      const double tp = s.TCUR - s.HU * (1.0 + time_slack_roundoffs * s.ROUNDOFF);
      if ((tp - c.TOUT) * h > 0.0) {
        msg(messages::tout_behind_last_step, 1, c.ITASK, 0, 2, c.TOUT, tp);
        illegal_input(c);
        return;
      }
      if ((s.TCUR - c.TOUT) * h >= 0.0) {
        return_at_step_end(c, false);
        return;
      }
      break;
    }
    default:  // 5
      c.TCRIT = at_place(c.RWORK, rwork_place::TCRIT);
      if ((s.TCUR - c.TCRIT) * h > 0.0) {
        msg(messages::tcrit_behind_tcur, 0, 0, 0, 2, c.TCRIT, s.TCUR);
        illegal_input(c);
        return;
      }
      if (approach_tcrit(c, c.ISTATE == 2)) {
        return_at_step_end(c, true);
        return;
      }
      break;
  }
  step_loop(c, false);
}

// ISTATE 3: the step routine re-reads the changed inputs on its next entry.
void apply_changed_inputs(call& c) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  s.START_MODE = -1;
  double* matrix_work = c.segment(s.MATRIX_WORK_AT);
  if (s.ORDER > s.MAXORD) {
    // The column beyond the new last one now lies where MATRIX_WORK begins.
    double* f_save = c.segment(s.F_SAVE_AT);
    for (int i = 0; i < n; ++i) f_save[i] = matrix_work[i];
  }
  if (s.ITERATION > 0) matrix_work[0] = std::sqrt(s.ROUNDOFF);
  if (n < s.HIST_LEN) {
    double* from = c.hist_column(s.NCOEF + 1);
    double* to = c.hist_column(s.MAXORD + 2);
    if (from < to) std::fill(from, to, 0.0);
  }
}

// ISTATE 1: first derivative, weights and first step size.
void start_problem(call& c, double H0) {
  solver_state_block& s = solver_state;
  const int n = s.NEQ_CURRENT;
  s.ROUNDOFF = machine_constant(4);
  s.TCUR = c.T;
  if (c.ITASK == 4 || c.ITASK == 5) {
    c.TCRIT = at_place(c.RWORK, rwork_place::TCRIT);
    if ((c.TCRIT - c.TOUT) * (c.TOUT - c.T) < 0.0) {
      msg(messages::tcrit_behind_tout, 0, 0, 0, 2, c.TCRIT, c.TOUT);
      illegal_input(c);
      return;
    }
    if (H0 != 0.0 && (c.T + H0 - c.TCRIT) * H0 > 0.0) H0 = c.TCRIT - c.T;
  }

  s.START_MODE = 0;
  if (s.ITERATION > 0) c.segment(s.MATRIX_WORK_AT)[0] = std::sqrt(s.ROUNDOFF);
  s.HNIL_COUNT = 0;
  s.STEP_COUNT = 0;
  s.JAC_COUNT = 0;
  s.STEPS_AT_CALL = 0;
  s.ORDER_USED = 0;
  s.HU = 0.0;
  s.HL_CHANGE_MAX = hl_change_max;
  s.MAX_CORR = max_corrector_iterations;
  s.MAX_MATRIX_AGE = max_matrix_age;
  s.MAX_CONV_FAIL = max_corrector_failures;

  double* col1 = c.hist_column(1);
  double* col2 = c.hist_column(2);
  double t = c.T;
  c.F(c.NEQ, &t, c.Y, col2);
  s.F_COUNT = 1;
  for (int i = 0; i < n; ++i) col1[i] = c.Y[i];

  s.ORDER = 1;
  s.H = 1.0;
  if (const int bad = refresh_weights(c); bad != 0) {
    msg(messages::ewt_not_positive, 1, bad, 0, 1, c.ewt()[bad - 1]);
    illegal_input(c);
    return;
  }

  if (H0 == 0.0) {
    const double tdist = std::fabs(c.TOUT - c.T);
    const double w0 = std::max(std::fabs(c.T), std::fabs(c.TOUT));
    if (tdist < start_distance_roundoffs * s.ROUNDOFF * w0) {
      msg(messages::tout_too_close, 0, 0, 0, 2, c.TOUT, c.T);
      illegal_input(c);
      return;
    }
    double tol = c.RTOL[0];
    if (c.ITOL > 2)
      for (int i = 0; i < n; ++i) tol = std::max(tol, c.RTOL[i]);
    if (!(tol > 0.0)) {
      const bool atol_array = c.ITOL == 2 || c.ITOL == 4;
      for (int i = 0; i < n; ++i) {
        const double atoli = atol_array ? c.ATOL[i] : c.ATOL[0];
        const double ayi = std::fabs(c.Y[i]);
        if (ayi != 0.0) tol = std::max(tol, atoli / ayi);
      }
    }
    tol = std::max(tol, first_step_tol_roundoffs * s.ROUNDOFF);
    tol = std::min(tol, first_step_tol_cap);
    const double sum = weighted_norm(n, col2, c.ewt());
    H0 = 1.0 / std::sqrt(tol * (sum * sum) + 1.0 / (tol * (w0 * w0)));
    H0 = std::min(H0, tdist);
    if (c.TOUT - c.T < 0.0) H0 = -H0;
  }

  const double rh = std::fabs(H0) * s.HMAX_INV;
  if (rh > 1.0) H0 = H0 / rh;
  s.H = H0;
  for (int i = 0; i < n; ++i) col2[i] = H0 * col2[i];
  step_loop(c, true);
}

// ISTATE 1 with TOUT = T: harmless four times in a row, then the run stops.
void repeated_call(double T) {
  solver_state_block& s = solver_state;
  s.REPEAT_COUNT += 1;
  if (s.REPEAT_COUNT < repeated_start_limit) return;
  msg(messages::repeated_start, 0, 0, 0, 1, T);
  abort_run();
}

}  // namespace

void integrate(rhs_routine F, int* NEQ, double* Y, double& T, double& TOUT, int& ITOL, double* RTOL,
               double* ATOL, int& ITASK, int& ISTATE, int& IOPT, double* RWORK, int& LRW,
               int* IWORK, int& LIW, jac_routine JAC, int& MF) {
  solver_state_block& s = solver_state;
  call c{F, NEQ, Y, T, TOUT, ITOL, RTOL, ATOL, ITASK, ISTATE, RWORK, IWORK, JAC};

  if (ISTATE < 1 || ISTATE > 3) {
    msg(messages::istate_illegal, 1, ISTATE);
    illegal_input(c);
    return;
  }
  if (ITASK < 1 || ITASK > 5) {
    msg(messages::itask_illegal, 1, ITASK);
    illegal_input(c);
    return;
  }
  if (ISTATE == 1) {
    s.INITIALISED = 0;
    if (TOUT == T) {
      repeated_call(T);
      return;
    }
  } else {
    if (s.INITIALISED == 0) {
      msg(messages::not_initialized);
      illegal_input(c);
      return;
    }
    if (ISTATE == 2) {
      continue_problem(c);
      return;
    }
  }

  s.REPEAT_COUNT = 0;
  checked_inputs in{};
  if (!check_inputs(c, IOPT, LRW, LIW, MF, in)) {
    illegal_input(c);
    return;
  }
  commit(in);
  if (ISTATE == 1) {
    start_problem(c, in.H0);
  } else {
    apply_changed_inputs(c);
    continue_problem(c);
  }
}

}  // namespace integrator
