#include "models/velmo66/configuration.h"

#include "models/calcium/rows.h"
#include "models/velmo67/configuration.h"
#include "models/velmo67/network.h"

namespace velmo66 {

namespace {

constexpr calcium::phase_switch switches[] = {
    // phase, constant kN, line, value of that line
    {2, 23, 95, 1},                                                     //
    {3, 23, 118, 1},                                                    //
    {4, 1, 127, 1},  {4, 2, 128, 1},  {4, 3, 129, 1}, {4, 20, 130, 1},  //
    {4, 63, 131, 1}, {4, 73, 132, 1},                                   //
    {5, 1, 134, 1},  {5, 2, 135, 1},  {5, 3, 136, 1}, {5, 20, 137, 1},  //
    {5, 63, 140, 1}, {5, 73, 141, 1}};

}  // namespace

const calcium::frame_config& configuration() {
  static const calcium::frame_config cfg{
      .input = {.file_name = "VELMO66.INP",
                .runname_length = 10,
                .phase_change_lines = phase_change_lines,
                .two_value_lines = two_value_lines},
      .switches = switches,
      .clamp = velmo67::clamped_species,
      .rate_constant_report = rate_constant_report,
      .files = {.sliding_window = true, .spectrum = true, .store = true, .er = true},
      .line_end = textio::line_end::crlf,
      .maxima = true,
      .dtout_reset_after_phase2 = true,
      .cpu_time_lines = false,
      .lum_pmca_integrals = true,
      .rows = &calcium::version67_rows,  // column for column
      .NEQ = 35,
      .RTOL = 1.0e-8,
      .ATOL = 1.0e-13,
      .ratcon = velmo67::ratcon,
      .fex = velmo67::fex,
      .jex = velmo67::jex};
  return cfg;
}

}  // namespace velmo66
