#include "models/velmo65/configuration.h"

#include "models/calcium/rows.h"
#include "models/calcium/state_vector.h"
#include "models/velmo66/configuration.h"

namespace velmo65 {

namespace {

constexpr calcium::phase_switch switches[] = {
    // phase, constant kN, line, value of that line
    {2, 1, 82, 1},  {2, 20, 93, 1},   //
    {3, 1, 108, 1}, {3, 20, 117, 1},  //
    {4, 1, 127, 1}, {4, 20, 130, 1},  //
    {5, 1, 134, 1}, {5, 20, 137, 1}};

// SERCA and Ca_lum are not clamped.
using namespace calcium;  // the species
constexpr int clamp[] = {Ca_cyt, S, R, R_S, ARCC, IP3R_IP3, IP3, PLC, NCX_M_star};

// Columns 1 to 34 of version 67's data row (up to Ca_lum) and its flux row;
// no ER, window or store file.
const calcium::frame_rows rows = {calcium::first_columns(calcium::version67_rows.data, 34),
                                  calcium::version67_rows.er, calcium::version67_rows.flux,
                                  calcium::version67_rows.window, calcium::version67_rows.store};

}  // namespace

const calcium::frame_config& configuration() {
  // velmo66's parameter layout and rate-constant table; 33 state variables,
  // four result files and none of the oscillation analysis.
  static const calcium::frame_config cfg = [] {
    calcium::frame_config c = velmo66::configuration();
    c.input.file_name = "VELMO65.INP";
    c.input.runname_length = 11;
    c.switches = switches;
    c.clamp = clamp;
    c.files = {.sliding_window = false, .spectrum = false, .store = false, .er = false};
    c.maxima = false;
    c.dtout_reset_after_phase2 = false;
    c.lum_pmca_integrals = false;
    c.rows = &rows;
    c.NEQ = 33;  // fex fills YDOT(1..33) only with NEQ 33
    c.RTOL = 1.0e-6;
    c.ATOL = 1.0e-12;
    return c;
  }();
  return cfg;
}

}  // namespace velmo65
