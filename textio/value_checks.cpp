#include "textio/value_checks.h"

#include <cmath>

namespace textio {

std::string non_finite_time(std::string_view role, double value) {
  if (std::isfinite(value)) return {};
  // As the fields write them: NaN or INF, signed when the sign bit is set.
  const std::string found =
      std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "NaN" : "INF");
  return std::string(role) + " must be a finite number, found " + found;
}

}  // namespace textio
