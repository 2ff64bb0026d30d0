// One call of integrate as the driver's pieces see it: the arguments, with
// the work-array segments of solver_state as pointers.
#pragma once

#include <cstddef>

#include "integrator/integrate.h"
#include "integrator/messages.h"
#include "integrator/solver_state.h"

namespace integrator::driver {

// The arguments of one call, with the work-array segments as pointers.
struct call {
  rhs_routine F;
  int* NEQ;
  double* Y;
  double& T;
  double TOUT;
  int ITOL;
  double* RTOL;
  double* ATOL;
  int ITASK;
  int& ISTATE;
  double* RWORK;
  int* IWORK;
  jac_routine JAC;
  double TCRIT = 0.0;

  double* segment(int at) const { return RWORK + (at - 1); }
  double* hist() const { return segment(solver_state.HIST_AT); }
  double* hist_column(int j) const {
    return hist() + static_cast<std::ptrdiff_t>(j - 1) * solver_state.HIST_LEN;
  }
  double* ewt() const { return segment(solver_state.EWT_AT); }
};

// A message line of the driver (level 1: the call goes on to its return).
inline void msg(const message_line& line, int ni = 0, int i1 = 0, int i2 = 0, int nr = 0,
                double r1 = 0.0, double r2 = 0.0) {
  write_message(line, 1, ni, i1, i2, nr, r1, r2);
}

}  // namespace integrator::driver
