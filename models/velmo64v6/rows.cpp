#include "models/velmo64v6/rows.h"

#include <initializer_list>

#include "textio/line.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

// One blank, then the values as scientific fields separated by commas.
void write_row(int unit, int width, int digits, std::initializer_list<double> values) {
  textio::line l;
  l.x(1);
  bool first = true;
  for (double v : values) {
    if (!first) l.lit(",");
    l.sci(v, width, digits);
    first = false;
  }
  textio::write_unit(unit, l.view());
}

}  // namespace

void write_flux_row(const run_state& s) {
  const step_quantities& q = s.q;
  write_row(calcium::flux_unit, 15, 4,
            {s.TPRINT, q.j1, q.j2, q.j3, q.jMon, q.jMoff, q.jBon, q.jBoff, q.jtot, q.j23, q.j27, q.jARCC,
             q.jIP3R, q.jNCX, s.Y[Ca_cyt]});
}

void write_data_row(const run_state& s) {
  const step_quantities& q = s.q;
  const double* Y = s.Y;
  const calcium::indicator& o = s.optics;
  write_row(calcium::data_unit, 15, 6,
            {s.TPRINT,        Y[Ca_cyt],          Y[PMCA_M_star],     Y[Ca_ext],   q.mean_Ca_cyt,
             Y[M],            Y[MCa4],            Y[B],              Y[BCa4],     q.Ca_cyt_set_PMCA,
             q.Ca_cyt_set_SERCA, Y[S],            Y[R],              Y[R_S],       q.jIP3R,
             s.window.mean,   Y[Ind],             Y[Cacyt_Ind],      o.RATIO,     o.bound_per_free,
             Y[S2],           Y[Gprot],           Y[GS2],            Y[PLC],      Y[IP3],
             o.Ca_ratio,      Y[PMCA_M],          q.PMCA_M_estimated, Y[PMCA],    k(3),
             k(1),            Y[NCX_M_star],       k(63),             q.Ca_cyt_set_NCX});
}

void write_er_row(const run_state& s) {
  const double* Y = s.Y;
  write_row(calcium::er_unit, 15, 6,
            {s.TPRINT, Y[SERCA], Y[Ca_lum], Y[L], Y[LCa30], s.q.Ca_ER_set_theor, s.q.total_L});
}

void write_window_row(const run_state& s) { write_row(calcium::window_unit, 12, 4, {s.TPRINT, s.window.mean}); }

}  // namespace velmo64v6
