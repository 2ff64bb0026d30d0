// The state vector Y of the frame's programs, by species: velmo67 and
// velmo66 hold all 35 elements, velmo65 the first 33. Y[Ca_cyt] is the
// element the model numbers 1. Names follow the model's labels, with '_' for
// '.' and "_star" for '*' (PMCA_M_star is "PMCA.M*", R_S is "R.S").
#pragma once

namespace calcium {

enum species : int {
  Ca_cyt, PMCA_M_star, Ca_ext, Ca_cyt_int, M, MCa4, B, BCa4, PMCA_M, PMCA,  // 1-10
  SERCA, Ca_lum, L, LCa30, S, R, R_S, ARCC, IP3R_IP3, IP3,                   // 11-20
  Ind, Cacyt_Ind, S2, Gprot, GS2, PLC, NCX_M_star, NCX_M, NCX, STIM,        // 21-30
  STIM_Ca, SOCC, IP3R, Ca_lum_int, PMCA_M_int,                              // 31-35
  species_count
};

// The model's label of each species ("PMCA.M*" for PMCA_M_star).
extern const char* const species_label[species_count];

}  // namespace calcium
