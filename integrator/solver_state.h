// The integrator's two process-wide blocks. solver_state carries one
// integration from call to call; message_control says whether and where the
// integrator's messages go. Only the integrator reads or writes them (and
// save_state / restore_state copy them whole for a caller that interleaves
// two problems).
//
// solver_state is 219 doubles followed by 39 integers, with no gap: the save
// pair copies exactly these counts, so the member lists below are part of the
// contract. Two-dimensional tables are stored column by column, the column
// index first in C: COEF_TABLE[q-1][i-1] is coefficient i of order q.
//
// The order of the integers is fixed once for all as declared below: the
// driver's fourteen, the step routine's six, then the shared flags, settings
// and counters, ending ORDER, STEP_COUNT, F_COUNT, JAC_COUNT, ORDER_USED
// (ORDER_USED last, after the three counters). The two reserved members hold
// nothing; they keep the counts of 210 step doubles and 6 step integers.
#pragma once

#include <cstddef>

namespace integrator {

struct solver_state_block {
  // --- step and coefficient routines (210 doubles) ---
  double RESERVED_REAL;       // unused by the step; keeps the block's shape
  double CONV_TEST;           // convergence-test constant 0.5/(ORDER+2)
  double CONV_RATE;           // corrector convergence-rate estimate
  double COEF[13];            // coefficients of the current method and order
  double COEF_TABLE[12][13];  // [q-1]: coefficient vector of order q
  double H_PRIOR;             // step size the history is scaled for at entry
  double RATIO_MAX;           // largest step ratio allowed at the next change
  double TEST_TABLE[12][3];   // [q-1]: error constants for orders q-1, q, q+1

  // --- shared step-size data (9 doubles) ---
  double HL_CHANGE_MAX;  // relative change of H*l0 that forces a new matrix
  double COEF1_PRIOR;    // l0 at the last update of HL_RATIO
  double H;              // step size to attempt next
  double HMIN;           // minimum absolute step size
  double HMAX_INV;       // 1/HMAX, 0 for no limit
  double HU;             // last successful step size
  double HL_RATIO;       // H*l0 over its value when the matrix was formed
  double TCUR;           // time reached by the integration
  double ROUNDOFF;       // unit roundoff of the whole integrator

  // --- driver (14 integers) ---
  int ILLEGAL_COUNT;    // consecutive calls ended by illegal input
  int INITIALISED;      // 1 once the problem has taken a successful step
  int HIST_AT;          // RWORK start of the history array (always 21)
  int MATRIX_WORK_AT;   // RWORK start of the iteration-matrix segment
  int EWT_AT;           // RWORK start of the inverted error weights
  int F_SAVE_AT;        // RWORK start of the step's scratch vector
  int CORR_AT;          // RWORK start of the accumulated corrections
  int MATRIX_IWORK_AT;  // IWORK start of the matrix routines' segment (1)
  int MXSTEP;           // maximum steps per call
  int MXHNIL;           // maximum "T + H = T" warnings per problem
  int HNIL_COUNT;       // "T + H = T" warnings issued
  int REPEAT_COUNT;     // consecutive ISTATE 1 calls with TOUT = T
  int STEPS_AT_CALL;    // STEP_COUNT when the current call began
  int HIST_LEN;         // rows of the history (NEQ at the start)

  // --- step routine (6 integers) ---
  int ORDER_WAIT;    // successful steps before a change is considered
  int MATRIX_DUE;    // nonzero: form the matrix before the next pass
  int HIST_COLS;     // MAXORD + 1
  int METHOD_PRIOR;  // METHOD at the last set_coefficients call
  int MATRIX_STEP;   // STEP_COUNT when the matrix was last formed
  int RESERVED_INT;  // unused by the step; keeps the block's shape

  // --- flags, settings and counters (19 integers) ---
  int CONV_FAIL;       // 0 none, 1 retried with a new matrix, 2 step cut
  int MATRIX_ERROR;    // 1: prepare_matrix found P singular
  int SOLVE_ERROR;     // 1: solve_system hit a singular diagonal update
  int JAC_CURRENT;     // 1 while the matrix was formed in this step
  int START_MODE;      // 0 first step, -1 inputs changed, -2 H changed, 1 go on
  int STEP_RESULT;     // 0 success, -1 error-test, -2 convergence failure
  int NCOEF;           // ORDER + 1
  int METHOD;          // 1 Adams, 2 backward differentiation formulas
  int ITERATION;       // corrector iteration type 0..5
  int MAXORD;          // maximum order
  int MAX_CORR;        // corrector iterations per attempt
  int MAX_MATRIX_AGE;  // steps between matrix evaluations
  int MAX_CONV_FAIL;   // convergence failures allowed per step
  int NEQ_CURRENT;     // NEQ(1) of the last checked call
  int ORDER;           // order to attempt next
  int STEP_COUNT;      // successful steps since the start
  int F_COUNT;         // calls of F since the start
  int JAC_COUNT;       // matrix evaluations since the start
  int ORDER_USED;      // order of the last successful step
};

inline constexpr int solver_state_reals = 219;
inline constexpr int solver_state_ints = 39;

static_assert(offsetof(solver_state_block, RESERVED_REAL) == 0);
static_assert(offsetof(solver_state_block, HL_CHANGE_MAX) == 210 * sizeof(double));
static_assert(offsetof(solver_state_block, ILLEGAL_COUNT) == solver_state_reals * sizeof(double));
static_assert(offsetof(solver_state_block, ORDER_WAIT) ==
              solver_state_reals * sizeof(double) + 14 * sizeof(int));
static_assert(offsetof(solver_state_block, CONV_FAIL) ==
              solver_state_reals * sizeof(double) + 20 * sizeof(int));
static_assert(offsetof(solver_state_block, ORDER_USED) ==
              solver_state_reals * sizeof(double) + (solver_state_ints - 1) * sizeof(int));

struct message_control_block {
  int PRINT_FLAG = 1;    // 1 write messages, 0 write nothing
  int MESSAGE_UNIT = 6;  // output unit of the messages
};

// Zero before the first call (static storage).
extern solver_state_block solver_state;
extern message_control_block message_control;

}  // namespace integrator
