#include "models/nilpora/leak_rhs.h"

#include "models/nilpora/leak_block.h"

namespace nilpora {

void fex(int* /*NEQ*/, double* /*T*/, double* Y, double* YDOT) {
  // One multiplication, then one division: the order fixes the rounding.
  const double v = (LEAKPAR.VMAX * Y[0]) / (LEAKPAR.KM + Y[0]);
  YDOT[0] = -v;
  YDOT[1] = v;
}

void jex(int* /*NEQ*/, double* /*T*/, double* /*Y*/, int* /*ML*/, int* /*MU*/, double* /*PD*/,
         int* /*NROWPD*/) {}

}  // namespace nilpora
