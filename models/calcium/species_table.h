// The species table of the phase reports, one table for the calcium frame
// and velmo64v6: each program fills in the values from its own state vector
// and derived quantities, and its layout says which rows its report has.
#pragma once

#include "models/calcium/report_output.h"

namespace calcium {

// The table's values, in the order of its rows; a value whose row the
// layout leaves out is not read.
struct species_table_values {
  double Ca_cyt_set_PMCA, SERCA_set, Ca_cyt_set_NCX, Ca_cyt, window_mean, free_bound_Ca;
  double total_M, M, MCa4, Kd_M;
  double total_B, B, BCa4, Kd_B;
  double total_PMCA, PMCA_M, PMCA_M_estimated, PMCA_M_star, PMCA, Kd_PMCA_M;
  double total_NCX, NCX_M, NCX_M_star, NCX, Kd_NCX_M;
  double Ca_ER_set, Ca_lum, Ca_in_LCa30, total_Ca_ER, LCa30, L, total_L;
  double total_S, total_R, S, R, R_S;
  double total_S2, total_G, S2, Gprot, GS2, PLC, IP3;
  double STIM, STIM_Ca, STIM_tot, SOCC;
  double period, coop_STIM, mean_PMCA_M;
};

// What differs between the programs' tables.
struct species_table_layout {
  const char* serca_label;  // the second row's 18 characters: where SERCA's set point lies
  bool lum_buffer_rows;     // "Ca in L.Ca30", "L.Ca_30" and "free L" in the ER block
  bool stim_rows;           // the STIM block and "coop STIM-Ca"
  bool mean_pmca_m_row;     // "<PMCA.M>", the last row
};

// The label lines and blank records of the table, to `to`.
void write_species_table(report_out to, const species_table_values& v,
                         const species_table_layout& layout);

}  // namespace calcium
