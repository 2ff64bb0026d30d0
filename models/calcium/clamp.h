// The small-value clamp of every calcium program's output step: each listed
// element of Y below CLAMPMIN (1.0e-10; negative values and -0.0 too, NaN
// kept) becomes 0.0. The integrator is not told, so within a phase only what
// the step computes and writes changes.
#pragma once

#include <span>

namespace calcium {

inline constexpr double clamp_min = 1.0e-10;  // CLAMPMIN

// `elements`: zero-based positions in Y, in clamp order.
inline void clamp_small_values(double* Y, std::span<const int> elements) {
  for (int e : elements)
    if (clamp_min > Y[e]) Y[e] = 0.0;
}

}  // namespace calcium
