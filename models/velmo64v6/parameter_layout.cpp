#include "models/velmo64v6/parameter_layout.h"

#include "models/velmo64v6/network.h"

namespace velmo64v6 {

const rate_line rate_lines[68] = {
    {"k1", " **K1    rate of inflow of Ca_ext into cell", false},
    {"k2", " **K2 rate const of additional Ca_cyt removal", true},
    {"k3", " **K3                 kcat PMCA Ca outflow", false},
    {"k4", " **K4                   KM PMCA Ca outflow", false},
    {"k5", " **K5  Ca_cyt induced PMCA activation rate", true},
    {"k6", " **K6  kcat PMCA inactivation", false},
    {"k7", " **K7    KM PMCA inactivation", true},
    {"k8", " **K8   on-rate constant sensor species MCa4", false},
    {"k9", " **K9  off-rate constant sensor species MCa4", true},
    {"k10", " **K10  on-rate const. buff. species BCa4", false},
    {"k11", " **K11 off-rate const. buff. species BCa4", true},
    {"k12", " **K12 !rate constant binding PMCA and M", false},
    {"k13", " **K13 !rate constant dissociation PMCA.M", false},
    {"k14", " **K14 !synthesis rate of PMCA", false},
    {"k15", " **K15 !degradation rate constant of PMCA", true},
    {"k16", " **K16 !synthesis rate of M", false},
    {"k17", " **K17 ! rate constant of M degradation", false},
    {"k18", " **K18 !synthesis rate of B", false},
    {"k19", " **K19 ! rate constant of B degradation", true},
    {"k20", " **K20 !Ca_cyt activation of SERCA", false},
    {"k21", " **K21 !Vmax of Ca_lum deact of SERCA", false},
    {"k22", " **K22 !KM of Ca_lum deactivation of SERCA", true},
    {"k23", " **K23 !Vmax of Ca-transport into ER", false},
    {"k24", " **K24 !KM of Ca-transport into ER", true},
    {"k25", " **K25 !rate constant of L.Ca30 formation", false},
    {"k26", " **K26 !rate constant  L.Ca30 dissociation", false},
    {"k27", " **K27 !rate const Ca_lum leak to cytosol", false},
    {"k28", " **K28 !rate constant of L formation", false},
    {"k29", " **K29 !rate const L removal/degradation", false},
    {"k30", " **K30 !rate const of S(signal) appearance", true},
    {"k31", " **K31 !rate constant of S(signal) removal", false},
    {"k32", " **K32 !rate constant of R synthesis", false},
    {"k33", " **K33 !rate constant of R degradation", false},
    {"k34", " **K34 !rate constant of R.S formation", false},
    {"k35", " **K35 !rate constant of R.S dissociation", true},
    {"k36", " **K36 !Vmax of Ca inflow by ARCC", false},
    {"k37", " **K37 !KM of Ca inflow by ARCC", false},
    {"k38", " **K38 !Vmax Ca transp by IP3R from ER", false},
    {"k39", " **K39 !KM of Ca transp by IP3R from ER", false},
    {"k40", " **K40 !**K40 !K1E", true},
    {"k41", " **K41 !K2E", false},
    {"k42", " **K42 !K1ES", false},
    {"k43", " **K43 !K2ES", false},
    {"k44", " **K44 !synthesis of ARCC", false},
    {"k45", " **K45 !first-order degradation of ARCC", true},
    {"k46", " **K46 !synthesis of IP3", false},
    {"k47", " **K47 !first-order degradation of IP3", false},
    {"k48", " **K48 !synthesis of IPR3", false},
    {"k49", " **K49 !first-order degradation of IRP3", false},
    {"k50", " **K50 !binding rate const Cacyt w Ind", true},
    {"k51", " **K51 !dissoc rate const of (Cacyt.Ind)", false},
    {"k52", " **K52 !synthesis of S2", false},
    {"k53", " **K53 !degradation of S2", false},
    {"k54", " **K54 !GS2 (activated G-protein)", false},
    {"k55", " **K55 !inactivation of GS2", true},
    {"k56", "**K56 !PLC activation", false},
    {"k57", "**K57 !inactivation of PLC", false},
    {"k58", "**K58 !G synthesis/activation", false},
    {"k59", "**K59 !removal/inactivation of G", false},
    {"k60", "**K60 !activation of NCX by Ca_cyt", true},
    {"k61", "**K61 !Vmax inactivation of NCX.M* ", false},
    {"k62", "**K62 !KM inactivation of NCX.M* ", false},
    {"k63", "**K63 !Vmax Ca_cyt transport of NCX.M* ", false},
    {"k64", "**K64 !KM Ca_cyt transport of NCX.M* ", false},
    {"k65", "**K65 ! zero-order synthesis of NCX ", true},
    {"k66", "**K66 ! first-order removal of NCX", false},
    {"k67", "**K67 ! synthesis rate constant of NCX.M", false},
    {"k68", "**K68 ! breakdown of NCX.M to M and NCX", false},
};

using pc = phase_changes;
const phase_line phase_lines[26] = {
    {"K1P2", &pc::K1P2, "K1P2COEFF", &pc::K1P2COEFF, " **phase 2 k1, K1P2COEFF", false},
    {"K2P2", &pc::K2P2, nullptr, nullptr, " **phase 2 k2", false},
    {"K3P2", &pc::K3P2, "K3P2COEFF", &pc::K3P2COEFF, " **phase 2 k3, K3P2COEFF", false},
    {"K23P2", &pc::K23P2, nullptr, nullptr, " **phase 2 k23", false},
    {"K27P2", &pc::K27P2, nullptr, nullptr, " **phase 2 k27", false},
    {"K30P2", &pc::K30P2, nullptr, nullptr, " **phase 2 k30", false},
    {"K38P2", &pc::K38P2, nullptr, nullptr, " **phase 2 k38", false},
    {"K56P2", &pc::K56P2, nullptr, nullptr, " **phase 2 k56", false},
    {"K63P2", &pc::K63P2, nullptr, nullptr, " **phase 2 k63", true},
    {"K1P3", &pc::K1P3, nullptr, nullptr, " **phase 3 k1", false},
    {"K2P3", &pc::K2P3, nullptr, nullptr, " **phase 3 k2", false},
    {"K3P3", &pc::K3P3, "K3P3COEFF", &pc::K3P3COEFF, " **phase 3 k3, K3P3COEFF", false},
    {"K23P3", &pc::K23P3, nullptr, nullptr, " **phase 3 k23", false},
    {"K27P3", &pc::K27P3, nullptr, nullptr, " **phase 3 k27", false},
    {"K30P3", &pc::K30P3, nullptr, nullptr, " **phase 3 k30", false},
    {"K38P3", &pc::K38P3, nullptr, nullptr, " **phase 3 k38", false},
    {"K56P3", &pc::K56P3, nullptr, nullptr, " **phase 3 k56", false},
    {"K63P3", &pc::K63P3, nullptr, nullptr, " **phase 3 k63", true},
    {"K1P4", &pc::K1P4, "K1P4COEFF", &pc::K1P4COEFF, " **phase 4 k1, K1P4COEFF", false},
    {"K2P4", &pc::K2P4, nullptr, nullptr, " **phase 4 k2", false},
    {"K3P4", &pc::K3P4, "K3P4COEFF", &pc::K3P4COEFF, " **phase4 k3 & K3P4COEFF", false},
    {"K63P4", &pc::K63P4, nullptr, nullptr, " **phase4 k63", true},
    {"K1P5", &pc::K1P5, nullptr, nullptr, " **phase 5 k1", false},
    {"K2P5", &pc::K2P5, nullptr, nullptr, " **phase 5 k2", false},
    {"K3P5", &pc::K3P5, "K3P5COEFF", &pc::K3P5COEFF, " **phase5 k3 & K3P5COEFF", false},
    {"K63P5", &pc::K63P5, nullptr, nullptr, " **phase5 k63", true},
};

// The report's first trailer calls PMCA.M* "PMCA"; the value is PMCA.M* in both.
const state_line state_lines[7] = {
    {{Ca_cyt, PMCA_M_star, Ca_ext, M}, " !Ca_cyt,PMCA.M*,Ca_ext,M", " !Ca_cyt,PMCA,Ca_ext,M"},
    {{MCa4, B, BCa4, PMCA_M}, " !MCa4,B,BCa4,PMCA.M", " !MCa4,B,BCa4,PMCA.M"},
    {{PMCA, SERCA, Ca_lum, L}, " !PMCA,SERCA*,Ca_lum,L", " !PMCA,SERCA*,Ca_lum,L"},
    {{LCa30, S, R, R_S}, " !LCa30,S,R,R.S", " !LCa30,S,R,R.S"},
    {{ARCC, IP3R, IP3, Ind}, " !ARCC,IP3R,IP3,Ind", " !ARCC,IP3R,IP3,Ind"},
    {{Cacyt_Ind, S2, Gprot, GS2}, "!Cacyt.Ind,S2,Gprot,GS2", "!Cacyt.Ind,S2,Gprot,GS2"},
    {{PLC, NCX_M_star, NCX_M, NCX}, "!PLC,NCX.M*,NCX.M,NCX", "!PLC,NCX.M*,NCX.M,NCX"},
};

const char* const threshold_labels[3] = {
    " looking for Ca peaks above OFFSET1 ph 1",
    " looking for Ca peaks above OFFSET2 ph 2",
    " looking for Ca peaks above OFFSET3 ph 3",
};

const char* const band_labels[3] = {
    " eps,sig,lam CaInd",
    " epsilon,sigma,lamda Ind",
    " peak 3 epsilon,sigma,lamda Ind",
};

const char* const window_text = "  **sliding window size in number of time steps";

}  // namespace velmo64v6
