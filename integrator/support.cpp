#include "integrator/support.h"

#include <cmath>
#include <cstring>

#include "integrator/messages.h"
#include "integrator/solver_state.h"

namespace integrator {

void set_weights(int N, int ITOL, const double* RTOL, const double* ATOL, const double* V,
                 double* EWT) {
  const bool rtol_array = ITOL == 3 || ITOL == 4;
  const bool atol_array = ITOL == 2 || ITOL == 4;
  for (int i = 0; i < N; ++i) {
    const double rtoli = rtol_array ? RTOL[i] : RTOL[0];
    const double atoli = atol_array ? ATOL[i] : ATOL[0];
    EWT[i] = rtoli * std::fabs(V[i]) + atoli;
  }
}

double weighted_norm(int N, const double* V, const double* W) {
  double sum = 0.0;
  for (int i = 0; i < N; ++i) {
    const double p = V[i] * W[i];
    sum = sum + p * p;
  }
  return std::sqrt(sum / static_cast<double>(N));
}

namespace {

// T may lie this many roundoffs of HU behind the last step's start.
constexpr double interval_slack_roundoffs = 100.0;

// H to the power -k as a compiled integer power of a real evaluates it: H^k
// by squaring and multiplying, then one reciprocal. Inverting first and
// raising 1/H would round once more on every multiplication.
double inverse_power(double h, int k) {
  double p = (k % 2 != 0) ? h : 1.0;
  double x = h;
  while ((k = k / 2) > 0) {
    x = x * x;
    if (k % 2 != 0) p = p * x;
  }
  return 1.0 / p;
}

// (from) * (from+1) * ... * (to); 1 for an empty range.
int falling_product(int from, int to) {
  int c = 1;
  for (int j = from; j <= to; ++j) c *= j;
  return c;
}

}  // namespace

void interpolate(double T, int K, const double* HIST, int HIST_LEN, double* DERIVATIVE,
                 int& STATUS) {
  const solver_state_block& s = solver_state;
  STATUS = 0;
  if (K < 0 || K > s.ORDER) {
    write_message(messages::interpolation_k_illegal, 1, 1, K);
    STATUS = -1;
    return;
  }
  const double tp = s.TCUR - s.HU * (1.0 + interval_slack_roundoffs * s.ROUNDOFF);
  if ((T - tp) * (T - s.TCUR) > 0.0) {
    write_message(messages::interpolation_t_illegal, 1, 0, 0, 0, 1, T);
    write_message(messages::interpolation_t_outside, 1, 0, 0, 0, 2, tp, s.TCUR);
    STATUS = -2;
    return;
  }

  const int n = s.NEQ_CURRENT;
  const double sv = (T - s.TCUR) / s.H;
  auto column = [&](int j) { return HIST + static_cast<std::ptrdiff_t>(j - 1) * HIST_LEN; };

  double c = K == 0 ? 1.0 : static_cast<double>(falling_product(s.NCOEF - K, s.ORDER));
  const double* last = column(s.NCOEF);
  for (int i = 0; i < n; ++i) DERIVATIVE[i] = c * last[i];
  for (int j = s.ORDER - 1; j >= K; --j) {
    c = K == 0 ? 1.0 : static_cast<double>(falling_product(j + 1 - K, j));
    const double* col = column(j + 1);
    for (int i = 0; i < n; ++i) DERIVATIVE[i] = c * col[i] + sv * DERIVATIVE[i];
  }
  if (K > 0) {
    const double r = inverse_power(s.H, K);
    for (int i = 0; i < n; ++i) DERIVATIVE[i] = r * DERIVATIVE[i];
  }
}

double machine_constant(int /*I*/) {
  // Bit pattern 3D06849B80000000: the float nearest 1.0e-14.
  return static_cast<double>(1.0e-14f);
}

void save_state(double* REAL_SAVE, int* INT_SAVE) {
  const auto* base = reinterpret_cast<const unsigned char*>(&solver_state);
  std::memcpy(REAL_SAVE, base, solver_state_reals * sizeof(double));
  std::memcpy(INT_SAVE, base + offsetof(solver_state_block, ILLEGAL_COUNT),
              solver_state_ints * sizeof(int));
  INT_SAVE[39] = message_control.PRINT_FLAG;
  INT_SAVE[40] = message_control.MESSAGE_UNIT;
}

void restore_state(const double* REAL_SAVE, const int* INT_SAVE) {
  auto* base = reinterpret_cast<unsigned char*>(&solver_state);
  std::memcpy(base, REAL_SAVE, solver_state_reals * sizeof(double));
  std::memcpy(base + offsetof(solver_state_block, ILLEGAL_COUNT), INT_SAVE,
              solver_state_ints * sizeof(int));
  message_control.PRINT_FLAG = INT_SAVE[39];
  message_control.MESSAGE_UNIT = INT_SAVE[40];
}

}  // namespace integrator
