#include "models/velmo64v6/rows.h"

#include "models/calcium/row_writer.h"

namespace velmo64v6 {

// Each row lists its columns in order, one a line, numbered as in its layout.

void write_flux_row(const run_state& s) {
  const step_quantities& q = s.q;
  const double v[] = {
      s.TPRINT,     //  1
      q.j1,         //  2
      q.j2,         //  3
      q.j3,         //  4
      q.jMon,       //  5
      q.jMoff,      //  6
      q.jBon,       //  7
      q.jBoff,      //  8
      q.jtot,       //  9
      q.j23,        // 10
      q.j27,        // 11
      q.jARCC,      // 12
      q.jIP3R,      // 13
      q.jNCX,       // 14
      s.Y[Ca_cyt],  // 15 a concentration, not a flux
  };
  calcium::write_row(calcium::flux_unit, v, 15, 4);
}

void write_data_row(const run_state& s) {
  const step_quantities& q = s.q;
  const double* Y = s.Y;
  const calcium::indicator& o = s.optics;
  const double v[] = {
      s.TPRINT,            //  1
      Y[Ca_cyt],           //  2
      Y[PMCA_M_star],      //  3
      Y[Ca_ext],           //  4
      q.mean_Ca_cyt,       //  5 <Ca_cyt>
      Y[M],                //  6
      Y[MCa4],             //  7
      Y[B],                //  8
      Y[BCa4],             //  9
      q.Ca_cyt_set_PMCA,   // 10
      q.Ca_cyt_set_SERCA,  // 11 where velmo67 has Ca_lum_set (SERCA)
      Y[S],                // 12
      Y[R],                // 13
      Y[R_S],              // 14
      q.jIP3R,             // 15
      s.window.mean,       // 16 <Ca_cyt>sw
      Y[Ind],              // 17
      Y[Cacyt_Ind],        // 18
      o.RATIO,             // 19
      o.bound_per_free,    // 20 Cacyt.Ind/Ind
      Y[S2],               // 21
      Y[Gprot],            // 22
      Y[GS2],              // 23
      Y[PLC],              // 24
      Y[IP3],              // 25
      o.Ca_ratio,          // 26
      Y[PMCA_M],           // 27
      q.PMCA_M_estimated,  // 28
      Y[PMCA],             // 29
      k(3),                // 30 as ramped for this step
      k(1),                // 31 as ramped for this step
      Y[NCX_M_star],       // 32
      k(63),               // 33
      q.Ca_cyt_set_NCX,    // 34
  };
  calcium::write_row(calcium::data_unit, v, 15, 6);
}

void write_er_row(const run_state& s) {
  const double* Y = s.Y;
  const double v[] = {
      s.TPRINT,             // 1
      Y[SERCA],             // 2
      Y[Ca_lum],            // 3
      Y[L],                 // 4
      Y[LCa30],             // 5
      s.q.Ca_ER_set_theor,  // 6
      s.q.total_L,          // 7
  };
  calcium::write_row(calcium::er_unit, v, 15, 6);
}

void write_window_row(const run_state& s) {
  const double v[] = {s.TPRINT, s.window.mean};
  calcium::write_row(calcium::window_unit, v, 12, 4);
}

}  // namespace velmo64v6
