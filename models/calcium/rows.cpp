#include "models/calcium/rows.h"

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

namespace {

using col = column<step_values>;

double tprint(const step_values& s) { return s.tprint; }
double window_mean(const step_values& s) { return s.window_mean; }
template <int e>
double y(const step_values& s) {
  return s.Y[e];
}
template <double derived_quantities::*q>
double d(const step_values& s) {
  return s.d->*q;
}
template <double indicator::*q>
double o(const step_values& s) {
  return s.optics->*q;
}
template <int n>
double k(const step_values& s) {
  return s.k.k(n);
}

using dq = derived_quantities;

constexpr col time_column = {"TPRINT",
                             "time column: the output step's time, counted on over the phases "
                             "from the first value of the time line",
                             tprint};

// Each row lists its columns in order, one a line, numbered as in its layout.

constexpr col data_columns[] = {
    time_column,                                                                       //  1
    {"Ca_cyt", "free cytosolic Ca, Y(1)", y<Ca_cyt>},                                  //  2
    {"PMCA.M*", "Ca-activated pump complex, carries j3, Y(2)", y<PMCA_M_star>},        //  3
    {"Ca_ext", "external Ca, Y(3); constant", y<Ca_ext>},                              //  4
    {"<Ca_cyt>", "time average of Ca_cyt: Ca_cyt_int / TPRINT", d<&dq::mean_Ca_cyt>},  //  5
    {"M", "free sensor, Y(5)", y<M>},                                                  //  6
    {"MCa4", "sensor with 4 Ca bound, Y(6)", y<MCa4>},                                 //  7
    {"B", "free cytosolic buffer, Y(7)", y<B>},                                        //  8
    {"BCa4", "buffer with 4 Ca bound, Y(8)", y<BCa4>},                                 //  9
    {"Ca_cyt_set (PMCA)", "Ca_cyt set point of the pump: k6 / (k5 * PMCA.M)",
     d<&dq::Ca_cyt_set_PMCA>},                                                                 // 10
    {"Ca_lum_set (SERCA)", "Ca_lum set point of SERCA: k20 / k21", d<&dq::Ca_lum_set_SERCA>},  // 11
    {"S", "signal, Y(15)", y<S>},                                                              // 12
    {"R", "receptor of S, Y(16)", y<R>},                                                       // 13
    {"R.S", "receptor-signal complex, gates ARCC, Y(17)", y<R_S>},                             // 14
    {"jIP3R", "Ca release through the IP3 receptor", d<&dq::jIP3R>},                           // 15
    {"<Ca_cyt>sw",                                                                             // 16
     "sliding-window mean of Ca_cyt over the last NSW output steps (0 until the window first "
     "fills)",
     window_mean},
    {"Ind", "free Ca indicator, Y(21)", y<Ind>},                                            // 17
    {"Cacyt.Ind", "Ca-bound indicator, Y(22)", y<Cacyt_Ind>},                               // 18
    {"RATIO", "fluorescence ratio of the emissions at 330 and 380", o<&indicator::RATIO>},  // 19
    {"Cacyt.Ind/Ind", "bound to free indicator", o<&indicator::bound_per_free>},            // 20
    {"S2", "second signal, Y(23)", y<S2>},                                                  // 21
    {"Gprot", "free G protein, Y(24)", y<Gprot>},                                           // 22
    {"GS2", "G protein with S2 bound, drives PLC, Y(25)", y<GS2>},                          // 23
    {"PLC", "active phospholipase C, drives IP3 production, Y(26)", y<PLC>},                // 24
    {"IP3", "IP3, Y(20)", y<IP3>},                                                          // 25
    {"Ca_ratio", "Ca_cyt computed back from RATIO by the ratiometric calibration",
     o<&indicator::Ca_ratio>},                                              // 26
    {"PMCA.M", "pump bound to M, activatable by Ca_cyt, Y(9)", y<PMCA_M>},  // 27
    {"PMCA.M (estimated)", "equilibrium estimate of PMCA.M from k13/k12, M and total PMCA",
     d<&dq::PMCA_M_estimated>},                                                        // 28
    {"PMCA", "free plasma-membrane pump, Y(10)", y<PMCA>},                             // 29
    {"k3", "k3 in force: maximal rate of the PMCA outflow j3", k<3>},                  // 30
    {"k1", "k1 in force: leak of Ca_ext into the cytosol", k<1>},                      // 31
    {"NCX.M*", "Ca-activated exchanger complex, carries jNCX, Y(27)", y<NCX_M_star>},  // 32
    {"k63", "k63 in force: maximal rate of the exchanger outflow jNCX", k<63>},        // 33
    {"Ca_lum", "free Ca in the ER lumen, Y(12)", y<Ca_lum>},                           // 34
    {"Ca_cyt_set (NCX)", "Ca_cyt set point of the exchanger: k61 / (k60 * NCX.M)",
     d<&dq::Ca_cyt_set_NCX>},                                                          // 35
    {"<Ca_lum>", "time average of Ca_lum: Ca_lum_int / TPRINT", d<&dq::mean_Ca_lum>},  // 36
    {"<PMCA.M>", "time average of PMCA.M: PMCA.M_int / TPRINT", d<&dq::mean_PMCA_M>},  // 37
    {"Ca_cyt_set (<PMCA.M>)", "Ca_cyt set point of the averaged pump: k6 / (k5 * <PMCA.M>)",
     d<&dq::Ca_cyt_set_mean_PMCA_M>},                                  // 38
    {"IP3 (again)", "IP3 once more: the value of column 25", y<IP3>},  // 39
};

constexpr col er_columns[] = {
    time_column,                                                            //  1
    {"SERCA", "ER pump, Y(11)", y<SERCA>},                                  //  2
    {"Ca_lum", "free Ca in the ER lumen, Y(12)", y<Ca_lum>},                //  3
    {"L", "free luminal buffer, Y(13)", y<L>},                              //  4
    {"LCa30", "luminal buffer with 30 Ca bound, Y(14)", y<LCa30>},          //  5
    {"Ca_lum_set (SERCA)", "Ca_lum set point of SERCA: k20 / k21",          //  6
     d<&dq::Ca_lum_set_SERCA>},                                             //
    {"total L (buffer)", "L + LCa30", d<&dq::total_L>},                     //  7
    {"STIM", "free STIM, gates SOCC, Y(30)", y<STIM>},                      //  8
    {"STIM.Ca", "STIM with COOPSTIM luminal Ca bound, Y(31)", y<STIM_Ca>},  //  9
    {"SOCC", "store-operated channel, Y(32)", y<SOCC>},                     // 10
};

constexpr col flux_columns[] = {
    time_column,                                                                    //  1
    {"j1", "leak of external Ca into the cytosol: k1 * Ca_ext", d<&dq::j1>},        //  2
    {"j2", "linear removal of cytosolic Ca: k2 * Ca_cyt", d<&dq::j2>},              //  3
    {"j3", "PMCA outflow", d<&dq::j3>},                                             //  4
    {"jMon", "Ca into the sensor M", d<&dq::jMon>},                                 //  5
    {"jMoff", "Ca out of MCa4", d<&dq::jMoff>},                                     //  6
    {"jBon", "Ca into the buffer B", d<&dq::jBon>},                                 //  7
    {"jBoff", "Ca out of BCa4", d<&dq::jBoff>},                                     //  8
    {"jtot", "net Ca flux into the cytosol (dCa_cyt/dt)", d<&dq::jtot>},            //  9
    {"j23", "ER filling by SERCA", d<&dq::j23>},                                    // 10
    {"j27", "ER leak: Ca_lum * k27", d<&dq::j27>},                                  // 11
    {"jARCC", "Ca entry through ARCC", d<&dq::jARCC>},                              // 12
    {"jIP3R", "Ca release through the IP3 receptor", d<&dq::jIP3R>},                // 13
    {"jNCX", "exchanger outflow", d<&dq::jNCX>},                                    // 14
    {"Ca_cyt", "free cytosolic Ca, Y(1): a concentration, not a flux", y<Ca_cyt>},  // 15
    {"jSOCC", "store-operated Ca entry", d<&dq::jSOCC>},                            // 16
};

constexpr col window_columns[] = {
    time_column,
    {"<Ca_cyt>sw",
     "sliding-window mean of Ca_cyt over the last NSW output steps (0 until the window first "
     "fills)",
     window_mean},
};

// No time column: the n-th store row belongs to phase n.
constexpr col store_columns[] = {
    {"Ca_lum", "free Ca in the ER lumen at the phase's last output step", y<Ca_lum>},
    {"jSOCC", "store-operated Ca entry at the phase's last output step", d<&dq::jSOCC>},
};

}  // namespace

constinit const frame_rows version67_rows = {
    make_row_layout<data_columns>(15, 6),  make_row_layout<er_columns>(15, 6),
    make_row_layout<flux_columns>(15, 4),  make_row_layout<window_columns>(12, 4),
    make_row_layout<store_columns>(12, 4),
};

}  // namespace calcium
