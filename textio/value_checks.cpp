#include "textio/value_checks.h"

#include <cmath>
#include <string>

namespace textio {

bool require_finite_time(const value_reader& in, std::string_view item, std::string_view role,
                         double value, read_error* err) {
  if (std::isfinite(value)) return true;
  // As the fields write them: NaN or INF, signed when the sign bit is set.
  const std::string found =
      std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "NaN" : "INF");
  err->file = in.file_name();
  err->line = in.line_number();
  err->item = std::string(item);
  err->what = std::string(role) + " must be a finite number, found " + found;
  return false;
}

}  // namespace textio
