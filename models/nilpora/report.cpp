#include "models/nilpora/report.h"

#include "textio/units.h"

namespace nilpora {

void write_summary(std::string_view text) { textio::write_unit(summary_unit, text); }

void write_console(std::string_view text) { textio::console().write_line(text); }

void write_both(order o, std::string_view text) {
  if (o == order::summary_console) {
    write_summary(text);
    write_console(text);
  } else {
    write_console(text);
    write_summary(text);
  }
}

void concentration_line(textio::line& out, double y1, double y2) {
  out.clear();
  out.x(1).sci(y1, 10, 3).lit(",").sci(y2, 10, 3);
}

void data_row(textio::line& out, double t, double y1, double y2, double vmax) {
  out.clear();
  out.x(1).sci(t, 12, 5).lit(",").sci(y1, 12, 5).lit(",").sci(y2, 12, 5).lit(",").sci(vmax, 12, 5);
}

}  // namespace nilpora
