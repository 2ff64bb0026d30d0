#include "models/velmo67/configuration.h"

#include "models/calcium/rows.h"
#include "models/velmo67/network.h"

namespace velmo67 {

namespace {

constexpr int two_value_lines[] = {82, 84, 107, 113, 130, 132, 135, 139};

constexpr calcium::phase_switch switches[] = {
    // phase, constant kN, line, value of that line
    {2, 46, 102, 1},                                                    //
    {3, 23, 121, 1},                                                    //
    {4, 1, 130, 1},  {4, 2, 131, 1},  {4, 3, 132, 1}, {4, 20, 133, 1},  //
    {4, 63, 134, 1}, {4, 73, 135, 1},                                   //
    {5, 1, 137, 1},  {5, 2, 138, 1},  {5, 3, 139, 1}, {5, 20, 140, 1},  //
    {5, 63, 143, 1}, {5, 73, 144, 1}};

constexpr int rate_constant_report[] = {1,  2,  3,  63, 4,  64, 5,  60, 6,  61, 7,  62, 8,
                                        9,  10, 11, 12, 67, 13, 68, 16, 18, 19, 20, 21, 22,
                                        23, 25, 26, 27, 36, 38, 46, 71, 72, 73, 77, 78};

}  // namespace

const calcium::frame_config& configuration() {
  static const calcium::frame_config cfg{
      .input = {.file_name = "VELMO67.INP",
                .runname_length = 10,
                .phase_change_lines = 64,
                .two_value_lines = two_value_lines},
      .switches = switches,
      .clamp = clamped_species,
      .rate_constant_report = rate_constant_report,
      .files = {.sliding_window = true, .spectrum = true, .store = true, .er = true},
      .line_end = textio::line_end::lf,
      .maxima = true,
      .dtout_reset_after_phase2 = true,
      .cpu_time_lines = true,
      .lum_pmca_integrals = true,
      .rows = &calcium::version67_rows,
      .NEQ = 35,
      .RTOL = 1.0e-8,
      .ATOL = 1.0e-13,
      .ratcon = velmo67::ratcon,
      .fex = velmo67::fex,
      .jex = velmo67::jex};
  return cfg;
}

}  // namespace velmo67
