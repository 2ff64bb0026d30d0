// The state vector Y of the frame's programs, by species: velmo67 and
// velmo66 hold all 35 elements, velmo65 the first 33. Y[Ca_cyt] is the
// element the model numbers 1. Names follow the model's labels, with '_' for
// '.' and "_star" for '*' (PMCA_M_star is "PMCA.M*", R_S is "R.S").
#pragma once

namespace calcium {

enum species : int {
  Ca_cyt,       //  1
  PMCA_M_star,  //  2 PMCA.M*
  Ca_ext,       //  3
  Ca_cyt_int,   //  4
  M,            //  5
  MCa4,         //  6
  B,            //  7
  BCa4,         //  8
  PMCA_M,       //  9 PMCA.M
  PMCA,         // 10
  SERCA,        // 11
  Ca_lum,       // 12
  L,            // 13
  LCa30,        // 14
  S,            // 15
  R,            // 16
  R_S,          // 17 R.S
  ARCC,         // 18
  IP3R_IP3,     // 19 IP3R.IP3
  IP3,          // 20
  Ind,          // 21
  Cacyt_Ind,    // 22 Cacyt.Ind
  S2,           // 23
  Gprot,        // 24
  GS2,          // 25
  PLC,          // 26
  NCX_M_star,   // 27 NCX.M*
  NCX_M,        // 28 NCX.M
  NCX,          // 29
  STIM,         // 30
  STIM_Ca,      // 31 STIM.Ca
  SOCC,         // 32
  IP3R,         // 33
  Ca_lum_int,   // 34
  PMCA_M_int,   // 35 PMCA.M_int
  species_count
};

// The model's label of each species ("PMCA.M*" for PMCA_M_star).
extern const char* const species_label[species_count];

// What each species is ("free cytosolic Ca" for Ca_cyt).
extern const char* const species_meaning[species_count];

}  // namespace calcium
