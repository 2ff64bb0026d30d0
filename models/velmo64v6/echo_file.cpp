#include "models/velmo64v6/echo_file.h"

#include <string>
#include <string_view>

#include "models/calcium/phase_report.h"
#include "models/calcium/run_report.h"
#include "models/velmo64v6/parameter_layout.h"
#include "textio/freeform.h"
#include "textio/line.h"
#include "textio/run_name.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

constexpr int width = 12, digits = 4;  // every real: 1PE12.4

void write_line(int unit, const textio::line& l) { textio::write_unit(unit, l.view()); }
void write_blank(int unit) { textio::write_unit(unit, textio::blank_record()); }

}  // namespace

void write_echo_file(int unit, const parameters& p, const textio::run_stamp& stamp) {
  // The run name reads back as the same name: quoted when it must be.
  const std::string name = textio::run_name_value(p.run_name());
  textio::freeform head;
  textio::write_unit(unit, calcium::add_stamp(head.text("  ").text(name), " (", stamp).view());

  textio::line l;
  l.x(1).sci(p.TPRINT0, width, digits).lit(",").sci(p.DTOUT, width, digits);
  for (double t : p.TPHASE) l.lit(",").sci(t, width, digits);
  write_line(unit, l);
  write_blank(unit);

  for (int n = 1; n <= 68; ++n) {
    const rate_line& r = rate_lines[n - 1];
    l.clear();
    write_line(unit, l.x(1).sci(p.k[n], width, digits).a(r.label, 52));
    if (r.blank_after) write_blank(unit);
  }

  for (const phase_line& ph : phase_lines) {
    l.clear();
    l.x(1).sci(p.pc.*ph.value, width, digits);
    if (ph.coeff_name) l.lit(",").sci(p.pc.*ph.coeff, width, digits);
    write_line(unit, l.a(ph.label, 52));
    if (ph.blank_after) write_blank(unit);
  }

  for (const state_line& s : state_lines) {
    calcium::form_state_line(l, p.Y, s.element, digits, s.echo_trailer);
    write_line(unit, l);
  }
  write_blank(unit);

  l.clear();
  write_line(unit, l.x(1).i(p.NSW, 4).lit(window_text));

  for (int i = 0; i < 3; ++i) {
    l.clear();
    write_line(unit, l.x(1).sci(p.OFFSET[i], width, digits).a(threshold_labels[i], 52));
  }
  write_blank(unit);

  for (int b = 0; b < 3; ++b) {
    const calcium::band& bd = p.BAND[b];
    l.clear();
    l.x(1).sci(bd.epsilon, width, digits).lit(",").sci(bd.sigma, width, digits);
    write_line(unit, l.lit(",").sci(bd.lamda, width, digits).a(band_labels[b], 30));
  }
}

}  // namespace velmo64v6
