#include "models/calcium/rows.h"

#include <cstddef>
#include <string_view>

#include "textio/fields.h"
#include "textio/line.h"
#include "textio/units.h"

namespace calcium {

void write_row(int unit, const double* values, int count, int width, int digits) {
  // Rows are nearly all of the output: they are formed in place, field after
  // field of exactly `width` characters. Like any line, a row that would not
  // fit the line capacity is cut after its last whole field.
  constexpr std::size_t capacity = textio::line::capacity;
  char row[capacity];
  const std::size_t field = width > 0 ? static_cast<std::size_t>(width) : 0;
  std::size_t n = 0;
  row[n++] = ' ';
  for (int i = 0; i < count; ++i) {
    if (n + (i > 0 ? 1 : 0) + field > capacity) break;
    if (i > 0) row[n++] = ',';
    textio::put_sci(row + n, values[i], width, digits);
    n += field;
  }
  textio::write_unit(unit, std::string_view(row, n));
}

bool row_triple_due(int nout, int& ncount) {
  if (nout == 0) return true;
  if (nout < 0) return false;
  ncount += 1;
  if (ncount >= nout) {
    ncount = 0;
    return true;
  }
  return false;
}

void data_row_values(const step_values& s, double v[39]) {
  const double* Y = s.Y;
  const derived_quantities& d = *s.d;
  const indicator& o = *s.optics;
  const double row[39] = {
      s.tprint,           Y[0],  Y[1],  Y[2],  d.mean_Ca_cyt, Y[4],  Y[5],  Y[6],
      Y[7],               d.Ca_cyt_set_PMCA,  d.Ca_lum_set_SERCA, Y[14], Y[15], Y[16],
      d.jIP3R,            s.window_mean,      Y[20], Y[21], o.RATIO, o.bound_per_free,
      Y[22],              Y[23], Y[24], Y[25], Y[19], o.Ca_ratio, Y[8],
      d.PMCA_M_estimated, Y[9],  s.k.k(3), s.k.k(1), Y[26], s.k.k(63), Y[11],
      d.Ca_cyt_set_NCX,   d.mean_Ca_lum,      d.mean_PMCA_M, d.Ca_cyt_set_mean_PMCA_M,
      Y[19]};
  for (int i = 0; i < 39; ++i) v[i] = row[i];
}

void write_data_row(int unit, const step_values& s, int columns) {
  double v[39];
  data_row_values(s, v);
  write_row(unit, v, columns, 15, 6);
}

void write_er_row(int unit, const step_values& s) {
  const double* Y = s.Y;
  const double v[10] = {s.tprint, Y[10], Y[11], Y[12], Y[13], s.d->Ca_lum_set_SERCA,
                        s.d->total_L, Y[29], Y[30], Y[31]};
  write_row(unit, v, 10, 15, 6);
}

void write_flux_row(int unit, const step_values& s) {
  const derived_quantities& d = *s.d;
  const double v[16] = {s.tprint, d.j1,  d.j2,  d.j3,  d.jMon,  d.jMoff, d.jBon, d.jBoff,
                        d.jtot,   d.j23, d.j27, d.jARCC, d.jIP3R, d.jNCX, s.Y[0], d.jSOCC};
  write_row(unit, v, 16, 15, 4);
}

void write_window_row(int unit, double tprint, double window_mean) {
  const double v[2] = {tprint, window_mean};
  write_row(unit, v, 2, 12, 4);
}

void write_store_row(int unit, double ca_lum, double jsocc) {
  const double v[2] = {ca_lum, jsocc};
  write_row(unit, v, 2, 12, 4);
}

}  // namespace calcium
