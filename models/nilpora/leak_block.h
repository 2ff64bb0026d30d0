// Global block LEAKPAR: the current maximal leak rate and the half-saturation
// constant, shared by the main program (which sets VMAX before every
// integrator call) and the right-hand side fex (which only reads them).
#pragma once

namespace nilpora {

struct leakpar_block {
  double VMAX;
  double KM;
};

extern leakpar_block LEAKPAR;

}  // namespace nilpora
