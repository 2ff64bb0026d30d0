#include "models/calcium/rate_constant_roles.h"

namespace calcium {

namespace {

const char* const roles[rate_constant_count] = {
    "leak of Ca_ext into the cytosol (j1)",                   // k1
    "linear removal of Ca_cyt (j2)",                          // k2
    "PMCA outflow j3: maximal rate",                          // k3
    "PMCA outflow j3: half-saturation",                       // k4
    "activation of PMCA.M by Ca_cyt",                         // k5
    "deactivation of PMCA.M*: maximal rate",                  // k6
    "deactivation of PMCA.M*: half-saturation",               // k7
    "M binding 4 Ca",                                         // k8
    "MCa4 releasing 4 Ca",                                    // k9
    "B binding 4 Ca",                                         // k10
    "BCa4 releasing 4 Ca",                                    // k11
    "PMCA and M binding to PMCA.M",                           // k12
    "PMCA.M dissociation",                                    // k13
    "PMCA synthesis",                                         // k14
    "PMCA degradation",                                       // k15
    "M synthesis",                                            // k16
    "M degradation",                                          // k17
    "B synthesis",                                            // k18
    "B degradation",                                          // k19
    "SERCA synthesis",                                        // k20
    "SERCA removal: maximal rate",                            // k21
    "SERCA removal: half-saturation",                         // k22
    "ER filling j23: maximal rate",                           // k23
    "ER filling j23: half-saturation",                        // k24
    "L binding 30 Ca_lum",                                    // k25
    "LCa30 releasing 30 Ca_lum",                              // k26
    "ER leak j27",                                            // k27
    "L synthesis",                                            // k28
    "L degradation",                                          // k29
    "S appearance",                                           // k30
    "S removal",                                              // k31
    "R synthesis",                                            // k32
    "R degradation",                                          // k33
    "R.S formation",                                          // k34
    "R.S dissociation",                                       // k35
    "ARCC entry jARCC: maximal rate",                         // k36
    "ARCC entry jARCC: half-saturation",                      // k37
    "IP3-receptor release jIP3R: maximal rate",               // k38
    "IP3-receptor release jIP3R: half-saturation",            // k39
    "K1E, high-Ca constant of the IP3-receptor factor FE",    // k40
    "K2E, low-Ca constant of the IP3-receptor factor FE",     // k41
    "K1ES, high-Ca constant of the IP3-receptor factor FES",  // k42
    "K2ES, low-Ca constant of the IP3-receptor factor FES",   // k43
    "ARCC synthesis",                                         // k44
    "ARCC degradation",                                       // k45
    "IP3 production by PLC",                                  // k46
    "IP3 degradation",                                        // k47
    "IP3R synthesis",                                         // k48
    "IP3R degradation",                                       // k49
    "indicator binding Ca_cyt",                               // k50
    "Cacyt.Ind releasing Ca_cyt",                             // k51
    "S2 synthesis",                                           // k52
    "S2 degradation",                                         // k53
    "GS2 formation from S2 and Gprot",                        // k54
    "GS2 dissociation",                                       // k55
    "PLC production by GS2",                                  // k56
    "PLC decay",                                              // k57
    "Gprot synthesis",                                        // k58
    "Gprot degradation",                                      // k59
    "activation of NCX.M by Ca_cyt",                          // k60
    "deactivation of NCX.M*: maximal rate",                   // k61
    "deactivation of NCX.M*: half-saturation",                // k62
    "exchanger outflow jNCX: maximal rate",                   // k63
    "exchanger outflow jNCX: half-saturation",                // k64
    "NCX synthesis",                                          // k65
    "NCX degradation",                                        // k66
    "NCX and M binding to NCX.M",                             // k67
    "NCX.M dissociation",                                     // k68
    "STIM synthesis",                                         // k69
    "STIM degradation",                                       // k70
    "STIM binding COOPSTIM Ca_lum",                           // k71
    "STIM.Ca releasing Ca_lum",                               // k72
    "store-operated entry jSOCC: maximal rate",               // k73
    "store-operated entry jSOCC: half-saturation",            // k74
    "SOCC synthesis",                                         // k75
    "SOCC degradation",                                       // k76
    "IP3 binding to IP3R",                                    // k77
    "IP3 release from IP3R.IP3",                              // k78
};

}  // namespace

const char* rate_constant_role(int n) {
  return n >= 1 && n <= rate_constant_count ? roles[n - 1] : "";
}

}  // namespace calcium
