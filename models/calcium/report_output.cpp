#include "models/calcium/report_output.h"

#include <cstdio>

#include "textio/freeform.h"
#include "textio/line.h"
#include "textio/units.h"

namespace calcium {

void put(report_out to, std::string_view text) {
  if (to == report_out::console)
    textio::console().write_line(text);
  else
    textio::write_unit(summary_unit, text);
}

void put_both(report_out first, std::string_view text) {
  put(first, text);
  put(other(first), text);
}

void put_label_line(report_out to, std::string_view label, double value) {
  textio::line l;
  l.x(1).a(label, 20).sci(value, 12, 4);
  put(to, l.view());
}

void put_labelled(report_out to, std::span<const labelled> rows) {
  for (const labelled& row : rows) {
    if (row.label)
      put_label_line(to, row.label, row.value);
    else
      put(to, textio::blank_record());
  }
}

void rate_constant_label(int n, char out[18]) {
  char digits[8];
  int len = std::snprintf(digits, sizeof digits, "k%d", n);
  for (int i = 0; i < 18; ++i) out[i] = i < len ? digits[i] : '.';
}

}  // namespace calcium
