#include "integrator/step.h"

namespace integrator {

namespace {

// Adams-Moulton: from P(x) = (x+1)(x+2)...(x+q-1) and its integrals over
// [-1, 0] (of P and of x*P).
void adams(double (*coef)[13], double (*test)[3]) {
  double pc[13] = {};
  coef[0][0] = 1.0;
  coef[0][1] = 1.0;
  test[0][0] = 0.0;
  test[0][1] = 2.0;
  test[1][0] = 1.0;
  test[11][2] = 0.0;
  pc[0] = 1.0;
  double rqfac = 1.0;  // 1/q!
  for (int q = 2; q <= 12; ++q) {
    const double rq1fac = rqfac;  // 1/(q-1)!
    rqfac = rqfac / q;
    const double fq1 = q - 1;
    // P *= (x + q - 1), highest power first so each c(i-1) is still the old one.
    pc[q - 1] = 0.0;
    for (int i = q; i >= 2; --i) pc[i - 1] = pc[i - 2] + fq1 * pc[i - 1];
    pc[0] = fq1 * pc[0];
    double pint = pc[0];
    double xpin = pc[0] / 2.0;
    double tsign = 1.0;
    for (int i = 2; i <= q; ++i) {
      tsign = -tsign;
      pint = pint + tsign * pc[i - 1] / i;
      xpin = xpin + tsign * pc[i - 1] / (i + 1);
    }
    double* el = coef[q - 1];
    el[0] = pint * rq1fac;
    el[1] = 1.0;
    for (int i = 2; i <= q; ++i) el[i] = rq1fac * pc[i - 1] / i;
    const double agamq = rqfac * xpin;
    const double ragq = 1.0 / agamq;
    test[q - 1][1] = ragq;
    if (q < 12) test[q][0] = ragq * rqfac / (q + 1);
    test[q - 2][2] = ragq;
  }
}

// Backward differentiation formulas: from P(x) = (x+1)(x+2)...(x+q).
void bdf(double (*coef)[13], double (*test)[3]) {
  double pc[13] = {};
  pc[0] = 1.0;
  double rq1fac = 1.0;
  for (int q = 1; q <= 5; ++q) {
    const double fq = q;
    pc[q] = 0.0;
    for (int i = q + 1; i >= 2; --i) pc[i - 1] = pc[i - 2] + fq * pc[i - 1];
    pc[0] = fq * pc[0];
    double* el = coef[q - 1];
    for (int i = 1; i <= q + 1; ++i) el[i - 1] = pc[i - 1] / pc[1];
    el[1] = 1.0;
    test[q - 1][0] = rq1fac;
    test[q - 1][1] = (q + 1) / el[0];
    test[q - 1][2] = (q + 2) / el[0];
    rq1fac = rq1fac / fq;
  }
}

}  // namespace

void set_coefficients(int METHOD, double (*COEF_TABLE)[13], double (*TEST_TABLE)[3]) {
  if (METHOD == 2)
    bdf(COEF_TABLE, TEST_TABLE);
  else
    adams(COEF_TABLE, TEST_TABLE);
}

}  // namespace integrator
