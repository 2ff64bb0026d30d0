// How every program calls the integrator: one relative and one absolute
// tolerance for all components (ITOL 1), output at TOUT (ITASK 1), no
// optional inputs (IOPT 0), and the stiff method with a full Jacobian that
// the integrator forms by differences (MF 22), so that jex is never called.
// A program gives its network, its tolerances and its work arrays.
#pragma once

#include "integrator/integrate.h"

namespace calcium {

inline constexpr int tolerance_kind = 1;   // ITOL: scalar RTOL and ATOL
inline constexpr int output_task = 1;      // ITASK: normal output at TOUT
inline constexpr int optional_inputs = 0;  // IOPT: none
inline constexpr int method = 22;          // MF: BDF, Jacobian by differences

struct integration {
  integrator::rhs_routine fex;
  integrator::jac_routine jex;
  int NEQ;
  double RTOL;
  double ATOL;
  double* RWORK;
  int LRW;
  int* IWORK;
  int LIW;

  // Integrates Y from T to TOUT; ISTATE as the integrator takes and returns
  // it (1 starts a fresh integration from Y).
  void advance(double* Y, double& T, double& TOUT, int& ISTATE) const {
    int neq = NEQ, itol = tolerance_kind, itask = output_task, iopt = optional_inputs, lrw = LRW,
        liw = LIW, mf = method;
    double rtol = RTOL, atol = ATOL;
    integrator::integrate(fex, &neq, Y, T, TOUT, itol, &rtol, &atol, itask, ISTATE, iopt, RWORK,
                          lrw, IWORK, liw, jex, mf);
  }
};

}  // namespace calcium
