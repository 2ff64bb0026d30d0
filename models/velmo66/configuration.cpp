#include "models/velmo66/configuration.h"

#include "models/velmo67/network.h"

namespace velmo66 {

namespace {

// Three phase-change lines fewer than velmo67 in the middle part: from line
// 110 on every line is velmo67's line three further down.
constexpr int two_value_lines[] = {82, 84, 106, 110, 127, 129, 132, 136};

constexpr calcium::phase_switch switches[] = {
    {2, 23, 95, 1},                                                   //
    {3, 23, 118, 1},                                                  //
    {4, 1, 127, 1},  {4, 2, 128, 1}, {4, 3, 129, 1}, {4, 20, 130, 1},  //
    {4, 63, 131, 1}, {4, 73, 132, 1},                                 //
    {5, 1, 134, 1},  {5, 2, 135, 1}, {5, 3, 136, 1}, {5, 20, 137, 1},  //
    {5, 63, 140, 1}, {5, 73, 141, 1}};

constexpr int clamp[] = {1, 11, 12, 15, 16, 17, 18, 19, 20, 26, 27};

// velmo67's table without k46, k77 and k78.
constexpr int rate_constant_report[] = {1,  2,  3,  63, 4,  64, 5,  60, 6,  61, 7,  62,
                                        8,  9,  10, 11, 12, 67, 13, 68, 16, 18, 19, 20,
                                        21, 22, 23, 25, 26, 27, 36, 38, 71, 72, 73};

}  // namespace

const calcium::frame_config& configuration() {
  static const calcium::frame_config cfg{
      .input = {.file_name = "VELMO66.INP",
                .runname_length = 10,
                .phase_change_lines = 61,
                .two_value_lines = two_value_lines},
      .switches = switches,
      .clamp = clamp,
      .rate_constant_report = rate_constant_report,
      .files = {.sliding_window = true, .spectrum = true, .store = true, .er = true},
      .maxima = true,
      .dtout_reset_after_phase2 = true,
      .cpu_time_lines = false,
      .lum_pmca_integrals = true,
      .data_columns = 39,
      .neq = 35,
      .rtol = 1.0e-8,
      .atol = 1.0e-13,
      .ratcon = velmo67::ratcon,
      .fex = velmo67::fex,
      .jex = velmo67::jex};
  return cfg;
}

}  // namespace velmo66
