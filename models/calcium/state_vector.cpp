#include "models/calcium/state_vector.h"

namespace calcium {

const char* const species_label[species_count] = {
    "Ca_cyt",    "PMCA.M*", "Ca_ext",  "Ca_cyt_int", "M",        "MCa4",       "B",
    "BCa4",      "PMCA.M",  "PMCA",    "SERCA",      "Ca_lum",   "L",          "LCa30",
    "S",         "R",       "R.S",     "ARCC",       "IP3R.IP3", "IP3",        "Ind",
    "Cacyt.Ind", "S2",      "Gprot",   "GS2",        "PLC",      "NCX.M*",     "NCX.M",
    "NCX",       "STIM",    "STIM.Ca", "SOCC",       "IP3R",     "Ca_lum_int", "PMCA.M_int"};

}  // namespace calcium
