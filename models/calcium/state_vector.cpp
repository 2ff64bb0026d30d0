#include "models/calcium/state_vector.h"

namespace calcium {

const char* const species_label[species_count] = {
    "Ca_cyt",    "PMCA.M*", "Ca_ext",  "Ca_cyt_int", "M",        "MCa4",       "B",
    "BCa4",      "PMCA.M",  "PMCA",    "SERCA",      "Ca_lum",   "L",          "LCa30",
    "S",         "R",       "R.S",     "ARCC",       "IP3R.IP3", "IP3",        "Ind",
    "Cacyt.Ind", "S2",      "Gprot",   "GS2",        "PLC",      "NCX.M*",     "NCX.M",
    "NCX",       "STIM",    "STIM.Ca", "SOCC",       "IP3R",     "Ca_lum_int", "PMCA.M_int"};

const char* const species_meaning[species_count] = {
    "free cytosolic Ca",
    "Ca-activated pump complex, carries j3",
    "external Ca; constant",
    "running time integral of Ca_cyt",
    "free sensor (binds 4 Ca, binds PMCA and NCX)",
    "sensor with 4 Ca bound",
    "free cytosolic buffer",
    "buffer with 4 Ca bound",
    "pump bound to M, activatable by Ca_cyt",
    "free plasma-membrane pump",
    "ER pump",
    "free Ca in the ER lumen",
    "free luminal buffer",
    "luminal buffer with 30 Ca bound",
    "signal",
    "receptor of S",
    "receptor-signal complex, gates ARCC",
    "receptor-gated Ca channel",
    "IP3 receptor with IP3 bound, carries jIP3R",
    "IP3",
    "free Ca indicator",
    "Ca-bound indicator",
    "second signal",
    "free G protein",
    "G protein with S2 bound, drives PLC",
    "active phospholipase C, drives IP3 production",
    "Ca-activated exchanger complex, carries jNCX",
    "exchanger bound to M",
    "free exchanger",
    "free STIM, gates SOCC",
    "STIM with COOPSTIM luminal Ca bound",
    "store-operated channel",
    "free IP3 receptor",
    "running time integral of Ca_lum",
    "running time integral of PMCA.M",
};

}  // namespace calcium
