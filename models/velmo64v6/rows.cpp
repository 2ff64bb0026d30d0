#include "models/velmo64v6/rows.h"

namespace velmo64v6 {

namespace {

using col = calcium::column<run_state>;

double tprint(const run_state& s) { return s.TPRINT; }
double window_mean(const run_state& s) { return s.window.mean; }
template <int e>
double y(const run_state& s) {
  return s.Y[e];
}
// A member of step_quantities or of the frame's quantities it extends.
template <auto m>
double q(const run_state& s) {
  return s.q.*m;
}
template <double calcium::indicator::*m>
double o(const run_state& s) {
  return s.optics.*m;
}
// As the step's ramp left it.
template <int n>
double rate(const run_state&) {
  return k(n);
}

using dq = calcium::derived_quantities;
using sq = step_quantities;

constexpr col time_column = {"TPRINT",
                             "time column: the output step's time, counted on over the phases "
                             "from the first value of the time line",
                             tprint};

// Each row lists its columns in order, one a line, numbered as in its layout.

constexpr col flux_columns[] = {
    time_column,                                                                    //  1
    {"j1", "leak of external Ca into the cytosol: k1 * Ca_ext", q<&dq::j1>},        //  2
    {"j2", "linear removal of cytosolic Ca: k2 * Ca_cyt", q<&dq::j2>},              //  3
    {"j3", "PMCA outflow", q<&dq::j3>},                                             //  4
    {"jMon", "Ca into the sensor M", q<&dq::jMon>},                                 //  5
    {"jMoff", "Ca out of MCa4", q<&dq::jMoff>},                                     //  6
    {"jBon", "Ca into the buffer B", q<&dq::jBon>},                                 //  7
    {"jBoff", "Ca out of BCa4", q<&dq::jBoff>},                                     //  8
    {"jtot", "net Ca flux into the cytosol (dCa_cyt/dt)", q<&dq::jtot>},            //  9
    {"j23", "ER filling by SERCA", q<&dq::j23>},                                    // 10
    {"j27", "ER leak: Ca_lum * k27", q<&dq::j27>},                                  // 11
    {"jARCC", "Ca entry through ARCC", q<&dq::jARCC>},                              // 12
    {"jIP3R", "Ca release through the IP3 receptor", q<&dq::jIP3R>},                // 13
    {"jNCX", "exchanger outflow", q<&dq::jNCX>},                                    // 14
    {"Ca_cyt", "free cytosolic Ca, Y(1): a concentration, not a flux", y<Ca_cyt>},  // 15
};

constexpr col data_columns[] = {
    time_column,                                                                       //  1
    {"Ca_cyt", "free cytosolic Ca, Y(1)", y<Ca_cyt>},                                  //  2
    {"PMCA.M*", "Ca-activated pump complex, carries j3, Y(2)", y<PMCA_M_star>},        //  3
    {"Ca_ext", "external Ca, Y(3); constant", y<Ca_ext>},                              //  4
    {"<Ca_cyt>", "time average of Ca_cyt: Ca_cyt_int / TPRINT", q<&dq::mean_Ca_cyt>},  //  5
    {"M", "free sensor, Y(5)", y<M>},                                                  //  6
    {"MCa4", "sensor with 4 Ca bound, Y(6)", y<MCa4>},                                 //  7
    {"B", "free cytosolic buffer, Y(7)", y<B>},                                        //  8
    {"BCa4", "buffer with 4 Ca bound, Y(8)", y<BCa4>},                                 //  9
    {"Ca_cyt_set (PMCA)", "Ca_cyt set point of the pump: k6 / (k5 * PMCA.M)",
     q<&dq::Ca_cyt_set_PMCA>},  // 10
    {"Ca_cyt_set (SERCA)", "Ca_cyt set point of SERCA: (k21 * Ca_lum) / k20",
     q<&sq::Ca_cyt_set_SERCA>},                                       // 11
    {"S", "signal, Y(15)", y<S>},                                     // 12
    {"R", "receptor of S, Y(16)", y<R>},                              // 13
    {"R.S", "receptor-signal complex, gates ARCC, Y(17)", y<R_S>},    // 14
    {"jIP3R", "Ca release through the IP3 receptor", q<&dq::jIP3R>},  // 15
    {"<Ca_cyt>sw",                                                    // 16
     "sliding-window mean of Ca_cyt over the last NSW output steps (0 until the window first "
     "fills)",
     window_mean},
    {"Ind", "free Ca indicator, Y(21)", y<Ind>},               // 17
    {"Cacyt.Ind", "Ca-bound indicator, Y(22)", y<Cacyt_Ind>},  // 18
    {"RATIO", "fluorescence ratio of the emissions at 330 and 380",
     o<&calcium::indicator::RATIO>},                                                       // 19
    {"Cacyt.Ind/Ind", "bound to free indicator", o<&calcium::indicator::bound_per_free>},  // 20
    {"S2", "second signal, Y(23)", y<S2>},                                                 // 21
    {"Gprot", "free G protein, Y(24)", y<Gprot>},                                          // 22
    {"GS2", "G protein with S2 bound, drives PLC, Y(25)", y<GS2>},                         // 23
    {"PLC", "active phospholipase C, drives IP3 production, Y(26)", y<PLC>},               // 24
    {"IP3", "IP3, Y(20)", y<IP3>},                                                         // 25
    {"Ca_ratio", "Ca_cyt computed back from RATIO by the ratiometric calibration",
     o<&calcium::indicator::Ca_ratio>},              // 26
    {"PMCA.M", "pump bound to M, Y(9)", y<PMCA_M>},  // 27
    {"PMCA.M (estimated)", "equilibrium estimate of PMCA.M from k13/k12, M and total PMCA",
     q<&dq::PMCA_M_estimated>},                                                          // 28
    {"PMCA", "free plasma-membrane pump, Y(10)", y<PMCA>},                               // 29
    {"k3", "k3 as ramped for this step: maximal rate of the PMCA outflow j3", rate<3>},  // 30
    {"k1", "k1 as ramped for this step: leak of Ca_ext into the cytosol", rate<1>},      // 31
    {"NCX.M*", "Ca-activated exchanger complex, carries jNCX, Y(27)", y<NCX_M_star>},    // 32
    {"k63", "k63 in force: maximal rate of the exchanger outflow jNCX", rate<63>},       // 33
    {"Ca_cyt_set (NCX)", "Ca_cyt set point of the exchanger: k61 / (k60 * NCX.M)",
     q<&dq::Ca_cyt_set_NCX>},  // 34
};

constexpr col er_columns[] = {
    time_column,                                                    // 1
    {"SERCA", "ER pump, Y(11)", y<SERCA>},                          // 2
    {"Ca_lum", "free Ca in the ER lumen, Y(12)", y<Ca_lum>},        // 3
    {"L", "free luminal buffer, Y(13)", y<L>},                      // 4
    {"LCa30", "luminal buffer with 30 Ca bound, Y(14)", y<LCa30>},  // 5
    {"Ca_ER_set (theor)", "Ca_lum set point of SERCA: (k20 * Ca_cyt) / k21",
     q<&sq::Ca_ER_set_theor>},                           // 6
    {"total L (buffer)", "L + LCa30", q<&dq::total_L>},  // 7
};

constexpr col window_columns[] = {
    time_column,
    {"<Ca_cyt>sw",
     "sliding-window mean of Ca_cyt over the last NSW output steps (0 until the window first "
     "fills)",
     window_mean},
};

}  // namespace

constinit const calcium::row_layout<run_state> flux_row =
    calcium::make_row_layout<flux_columns>(15, 4);
constinit const calcium::row_layout<run_state> data_row =
    calcium::make_row_layout<data_columns>(15, 6);
constinit const calcium::row_layout<run_state> er_row = calcium::make_row_layout<er_columns>(15, 6);
constinit const calcium::row_layout<run_state> window_row =
    calcium::make_row_layout<window_columns>(12, 4);

}  // namespace velmo64v6
