// The IP3-receptor calcium factors FE and FES: the right-hand side forms them
// on every call (and stores them in ratcon slots 51 and 52), the output step
// forms them again from the clamped state. Both use this one expression so
// that the step's jIP3R is bit for bit the flux the network integrates.
#pragma once

namespace calcium {

// k_low/ca + ((ca/k_high)^2 + 1): FE with (k40, k41), FES with (k42, k43).
inline double ip3r_ca_factor(double ca, double k_high, double k_low) {
  const double q = ca / k_high;
  return k_low / ca + (q * q + 1.0);
}

}  // namespace calcium
