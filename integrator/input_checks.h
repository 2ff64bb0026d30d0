// The entry checks of an ISTATE 1 or 3 call, and the layout of the work
// arrays that follows from the inputs.
#pragma once

#include "integrator/driver_call.h"

namespace integrator::driver {

// Inputs of an ISTATE 1 or 3 call once they have passed every check; only
// then do they replace the problem's settings, so an illegal call leaves a
// running problem as it was.
struct checked_inputs {
  int N, METHOD, ITERATION, MAXORD, MXSTEP, MXHNIL;
  double H0, HMIN, HMAX_INV;
  int HIST_LEN, MATRIX_WORK_AT, EWT_AT, F_SAVE_AT, CORR_AT;
};

// Runs the checks in their fixed order; on the first failure writes its
// message and returns false (IWORK(17), (18) are written even so).
bool check_inputs(call& c, int IOPT, int LRW, int LIW, int MF, checked_inputs& in);

// Makes checked inputs the problem's settings and layout.
void commit(const checked_inputs& in);

}  // namespace integrator::driver
