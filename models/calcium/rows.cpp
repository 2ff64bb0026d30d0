#include "models/calcium/rows.h"

#include <algorithm>

#include "models/calcium/row_writer.h"
#include "models/calcium/state_vector.h"

namespace calcium {

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

// Each row lists its columns in order, one a line, numbered as in its layout.

void write_data_row(int unit, const step_values& s, int columns) {
  const double* Y = s.Y;
  const derived_quantities& d = *s.d;
  const indicator& o = *s.optics;
  const double v[data_row_fields] = {
      s.tprint,                  //  1 TPRINT
      Y[Ca_cyt],                 //  2
      Y[PMCA_M_star],            //  3
      Y[Ca_ext],                 //  4
      d.mean_Ca_cyt,             //  5 <Ca_cyt>
      Y[M],                      //  6
      Y[MCa4],                   //  7
      Y[B],                      //  8
      Y[BCa4],                   //  9
      d.Ca_cyt_set_PMCA,         // 10
      d.Ca_lum_set_SERCA,        // 11
      Y[S],                      // 12
      Y[R],                      // 13
      Y[R_S],                    // 14
      d.jIP3R,                   // 15
      s.window_mean,             // 16 <Ca_cyt>sw
      Y[Ind],                    // 17
      Y[Cacyt_Ind],              // 18
      o.RATIO,                   // 19
      o.bound_per_free,          // 20 Cacyt.Ind/Ind
      Y[S2],                     // 21
      Y[Gprot],                  // 22
      Y[GS2],                    // 23
      Y[PLC],                    // 24
      Y[IP3],                    // 25
      o.Ca_ratio,                // 26
      Y[PMCA_M],                 // 27
      d.PMCA_M_estimated,        // 28
      Y[PMCA],                   // 29
      s.k.k(3),                  // 30
      s.k.k(1),                  // 31
      Y[NCX_M_star],             // 32
      s.k.k(63),                 // 33
      Y[Ca_lum],                 // 34 (velmo65's last column)
      d.Ca_cyt_set_NCX,          // 35
      d.mean_Ca_lum,             // 36 <Ca_lum>
      d.mean_PMCA_M,             // 37 <PMCA.M>
      d.Ca_cyt_set_mean_PMCA_M,  // 38 Ca_cyt_set (<PMCA.M>)
      Y[IP3],                    // 39 IP3 once more
  };
  const int n = std::clamp(columns, 0, data_row_fields);
  write_row(unit, std::span<const double>(v, static_cast<std::size_t>(n)), 15, 6);
}

void write_er_row(int unit, const step_values& s) {
  const double* Y = s.Y;
  const double v[] = {
      s.tprint,               //  1 TPRINT
      Y[SERCA],               //  2
      Y[Ca_lum],              //  3
      Y[L],                   //  4
      Y[LCa30],               //  5
      s.d->Ca_lum_set_SERCA,  //  6
      s.d->total_L,           //  7
      Y[STIM],                //  8
      Y[STIM_Ca],             //  9
      Y[SOCC],                // 10
  };
  write_row(unit, v, 15, 6);
}

void write_flux_row(int unit, const step_values& s) {
  const derived_quantities& d = *s.d;
  const double v[] = {
      s.tprint,     //  1 TPRINT
      d.j1,         //  2
      d.j2,         //  3
      d.j3,         //  4
      d.jMon,       //  5
      d.jMoff,      //  6
      d.jBon,       //  7
      d.jBoff,      //  8
      d.jtot,       //  9
      d.j23,        // 10
      d.j27,        // 11
      d.jARCC,      // 12
      d.jIP3R,      // 13
      d.jNCX,       // 14
      s.Y[Ca_cyt],  // 15 a concentration, not a flux
      d.jSOCC,      // 16
  };
  write_row(unit, v, 15, 4);
}

void write_window_row(int unit, double tprint, double window_mean) {
  const double v[] = {tprint, window_mean};
  write_row(unit, v, 12, 4);
}

void write_store_row(int unit, double ca_lum, double jsocc) {
  const double v[] = {ca_lum, jsocc};
  write_row(unit, v, 12, 4);
}

}  // namespace calcium
