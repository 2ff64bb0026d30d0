// Problems, work arrays and message capture shared by the integrator tests.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "integrator/integrate.h"
#include "integrator/solver_state.h"
#include "integrator/test_message_lines.h"
#include "textio/units.h"

namespace integrator::testing {

// Robertson's chemical kinetics.
inline void robertson_f(int*, double*, double* y, double* ydot) {
  ydot[0] = -0.04 * y[0] + 1.0e4 * y[1] * y[2];
  ydot[2] = 3.0e7 * y[1] * y[1];
  ydot[1] = -ydot[0] - ydot[2];
}

// Full Jacobian (ML = MU = 0, leading dimension *nrowpd) or band storage.
inline void robertson_jac(int*, double*, double* y, int* ml, int* mu, double* pd, int* nrowpd) {
  const int ld = *nrowpd;
  // element (i, j), one-based: full at (i, j), band at (i - j + MU + 1, j)
  auto put = [&](int i, int j, double v) {
    const int row = (*ml == 0 && *mu == 0) ? i : i - j + *mu + 1;
    pd[(j - 1) * ld + (row - 1)] = v;
  };
  put(1, 1, -0.04);
  put(1, 2, 1.0e4 * y[2]);
  put(1, 3, 1.0e4 * y[1]);
  put(2, 1, 0.04);
  put(2, 2, -1.0e4 * y[2] - 6.0e7 * y[1]);
  put(2, 3, -1.0e4 * y[1]);
  put(3, 1, 0.0);
  put(3, 2, 6.0e7 * y[1]);
  put(3, 3, 0.0);
}

inline void no_jac(int*, double*, double*, int*, int*, double*, int*) {}

// The arguments of integrate, owned together, with sizes for up to `n`
// equations and any MF.
struct problem {
  explicit problem(int n, int mf = 22)
      : neq{n},
        y(n, 0.0),
        rtol(n, 0.0),
        atol(n, 0.0),
        rwork(22 + 16 * n + 2 * n * n + 100, 0.0),
        iwork(20 + n + 10, 0),
        mf(mf) {
    lrw = static_cast<int>(rwork.size());
    liw = static_cast<int>(iwork.size());
  }
  void call(rhs_routine f, jac_routine jac = no_jac) {
    integrate(f, &neq, y.data(), t, tout, itol, rtol.data(), atol.data(), itask, istate, iopt,
              rwork.data(), lrw, iwork.data(), liw, jac, mf);
  }
  // One step per call (ITASK 2) from the first step h0 (IOPT 1), weighted by
  // ATOL alone; the other optional inputs are the caller's to set.
  void step_by_step(double h0, double absolute_tolerance) {
    rtol[0] = 0.0;
    atol[0] = absolute_tolerance;
    itask = 2;
    tout = 1.0e30;
    iopt = 1;
    rwork[4] = h0;
  }
  int steps() const { return iwork[10]; }
  int f_calls() const { return iwork[11]; }
  int jacobians() const { return iwork[12]; }
  int order_used() const { return iwork[13]; }

  int neq;
  std::vector<double> y;
  double t = 0.0, tout = 0.0;
  int itol = 1;
  std::vector<double> rtol, atol;
  int itask = 1, istate = 1, iopt = 0;
  std::vector<double> rwork;
  int lrw;
  std::vector<int> iwork;
  int liw;
  int mf;
};

// Robertson's initial state and the tolerances it is run with: ATOL an
// array, the middle component's small.
inline void robertson_values(problem& p) {
  p.y = {1.0, 0.0, 0.0};
  p.itol = 2;
  p.rtol[0] = 1e-4;
  p.atol = {1e-6, 1e-10, 1e-6};
}

// The integrator's blocks as a fresh process has them.
inline void reset_blocks() {
  solver_state = solver_state_block{};
  message_control = message_control_block{};
}

// Captures what the integrator writes on unit 6 while alive.
class message_capture {
 public:
  message_capture() {
    char name[] = "/tmp/integrator_msgXXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) ::close(fd);
    path_ = name;
    std::string err;
    textio::open_unit(6, path_, &err);
  }
  ~message_capture() {
    textio::close_unit(6);
    std::remove(path_.c_str());
  }
  // Closes the unit and returns the lines written.
  std::vector<std::string> lines() {
    textio::close_unit(6);
    std::ifstream in(path_);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }

 private:
  std::string path_;
};

}  // namespace integrator::testing
