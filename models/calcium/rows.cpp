#include "models/calcium/rows.h"

#include <cstddef>
#include <string_view>

#include "textio/fields.h"
#include "textio/line.h"
#include "textio/units.h"

namespace calcium {

namespace {
// Long enough for every row layout; the data row is 624 characters.
constexpr int row_capacity = 1024;
constexpr int widest_row_field = 64;
}  // namespace

void write_row(int unit, const double* values, int count, int width, int digits) {
  // Rows are nearly all of the output: they are formed in place, field after
  // field of exactly `width` characters, without the line builder's checks.
  if (count >= 1 && count <= row_capacity && width >= 0 && width <= widest_row_field &&
      1 + count * (width + 1) <= row_capacity) {
    char row[row_capacity];
    char* p = row;
    *p++ = ' ';
    textio::put_sci(p, values[0], width, digits);
    p += width;
    for (int i = 1; i < count; ++i) {
      *p++ = ',';
      textio::put_sci(p, values[i], width, digits);
      p += width;
    }
    textio::write_unit(unit, std::string_view(row, static_cast<std::size_t>(p - row)));
    return;
  }
  textio::line l;
  l.x(1).sci(values[0], width, digits);
  for (int i = 1; i < count; ++i) l.lit(",").sci(values[i], width, digits);
  textio::write_unit(unit, l.view());
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
