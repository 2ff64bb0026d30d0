#include "models/calcium/row_writer.h"

#include <string_view>

#include "textio/fields.h"
#include "textio/line.h"
#include "textio/units.h"

namespace calcium {

std::size_t form_row(char* out, std::size_t capacity, std::span<const double> values, int width,
                     int digits) {
  // Rows are nearly all of the output: they are formed in place, field after
  // field of exactly `width` characters.
  const std::size_t field = width > 0 ? static_cast<std::size_t>(width) : 0;
  std::size_t n = 0;
  if (capacity == 0) return 0;
  out[n++] = ' ';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (n + (i > 0 ? 1 : 0) + field > capacity) break;
    if (i > 0) out[n++] = ',';
    textio::put_sci(out + n, values[i], width, digits);
    n += field;
  }
  return n;
}

void write_row(int unit, std::span<const double> values, int width, int digits) {
  char row[textio::line::capacity];
  const std::size_t n = form_row(row, sizeof row, values, width, digits);
  textio::write_unit(unit, std::string_view(row, n));
}

}  // namespace calcium
