#include "models/velmo65/configuration.h"

#include "models/velmo67/network.h"

namespace velmo65 {

namespace {

// velmo66's layout.
constexpr int two_value_lines[] = {82, 84, 106, 110, 127, 129, 132, 136};

constexpr calcium::phase_switch switches[] = {
    {2, 1, 82, 1},  {2, 20, 93, 1},   //
    {3, 1, 108, 1}, {3, 20, 117, 1},  //
    {4, 1, 127, 1}, {4, 20, 130, 1},  //
    {5, 1, 134, 1}, {5, 20, 137, 1}};

// SERCA and Ca_lum are not clamped.
constexpr int clamp[] = {1, 15, 16, 17, 18, 19, 20, 26, 27};

constexpr int rate_constant_report[] = {1,  2,  3,  63, 4,  64, 5,  60, 6,  61, 7,  62,
                                        8,  9,  10, 11, 12, 67, 13, 68, 16, 18, 19, 20,
                                        21, 22, 23, 25, 26, 27, 36, 38, 71, 72, 73};

}  // namespace

const calcium::frame_config& configuration() {
  static const calcium::frame_config cfg{
      .input = {.file_name = "VELMO65.INP",
                .runname_length = 11,
                .phase_change_lines = 61,
                .two_value_lines = two_value_lines},
      .switches = switches,
      .clamp = clamp,
      .rate_constant_report = rate_constant_report,
      .files = {.sliding_window = false, .spectrum = false, .store = false, .er = false},
      .maxima = false,
      .dtout_reset_after_phase2 = false,
      .cpu_time_lines = false,
      .lum_pmca_integrals = false,
      .data_columns = 34,
      // fex fills YDOT(1..33) only with NEQ 33.
      .neq = 33,
      .rtol = 1.0e-6,
      .atol = 1.0e-12,
      .ratcon = velmo67::ratcon,
      .fex = velmo67::fex,
      .jex = velmo67::jex};
  return cfg;
}

}  // namespace velmo65
