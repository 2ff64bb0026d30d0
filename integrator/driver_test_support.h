// Roundoff, message lines, problems and the fixture shared by the driver's limit tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "integrator/test_problems.h"

namespace integrator::testing {

// The integrator's unit roundoff: the float nearest 1e-14, widened.
inline const double roundoff = std::bit_cast<double>(std::uint64_t{0x3D06849B80000000});

// A real in the 21-character exponent field (two-digit exponents only).
inline std::string field(double v) {
  if (v == 0.0) return "  0.0000000000000D+00";
  char e[32];
  std::snprintf(e, sizeof e, "%.12e", std::fabs(v));  // d.dddddddddddde+XX
  const int exponent = std::atoi(e + 15) + 1;
  char out[32];
  std::snprintf(out, sizeof out, "%s0.%c%.12sD%c%02d", v < 0 ? "-" : "", e[0], e + 2,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  std::string s = out;
  return std::string(21 - s.size(), ' ') + s;
}
inline std::string one_real(double r1) { return "      IN ABOVE MESSAGE,  R1 =" + field(r1); }
inline std::string two_reals(double r1, double r2) {
  return "      IN ABOVE,  R1 =" + field(r1) + "   R2 =" + field(r2);
}

// The oscillator's frequency; tests that raise it rely on the fixture to put it back.
inline double omega = 1.0;

// y' = c: every order of either method is exact, so each first attempt passes.
inline const double slope[3] = {0.5, -2.0, 3.0};
inline void linear_growth(int* neq, double*, double*, double* ydot) {
  for (int i = 0; i < neq[0]; ++i) ydot[i] = slope[i];
}

inline void decay3(int* neq, double*, double* y, double* ydot) {
  for (int i = 0; i < neq[0]; ++i) ydot[i] = -(i + 1.0) * y[i];
}

// One fixture class for the suite in every file: gtest rejects a suite whose
// tests use different fixture classes, and an unnamed namespace here would give
// each file its own.
class DriverLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_blocks();
    omega = 1.0;
  }
  void TearDown() override { reset_blocks(); }
};

}  // namespace integrator::testing
