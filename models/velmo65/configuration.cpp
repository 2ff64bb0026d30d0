#include "models/velmo65/configuration.h"

#include "models/calcium/rows.h"
#include "models/calcium/state_vector.h"
#include "models/velmo66/configuration.h"
#include "models/velmo67/network.h"

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
  static const calcium::frame_config cfg{
      .input = {.file_name = "VELMO65.INP",
                .runname_length = 11,
                .phase_change_lines = velmo66::phase_change_lines,
                .two_value_lines = velmo66::two_value_lines},
      .switches = switches,
      .clamp = clamp,
      .rate_constant_report = velmo66::rate_constant_report,
      .files = {.sliding_window = false, .spectrum = false, .store = false, .er = false},
      .line_end = textio::line_end::crlf,
      .maxima = false,
      .dtout_reset_after_phase2 = false,
      .cpu_time_lines = false,
      .lum_pmca_integrals = false,
      .rows = &rows,
      .NEQ = 33,  // fex fills YDOT(1..33) only with NEQ 33
      .RTOL = 1.0e-6,
      .ATOL = 1.0e-12,
      .ratcon = velmo67::ratcon,
      .fex = velmo67::fex,
      .jex = velmo67::jex};
  return cfg;
}

}  // namespace velmo65
