// The output units of the programs' result files. The console is apart from
// all of them: standard output through the default output unit. Unit 6 is
// also the integrator's message unit (standard output while no file is open
// on it); unit 5 is the parameter file while it is read.
#pragma once

namespace calcium {

inline constexpr int store_unit = 2;     // run name + "_jSOCC-Ca_lum.txt"
inline constexpr int spectrum_unit = 3;  // run name + "_spec.txt"
inline constexpr int flux_unit = 4;      // run name + "_fluxes.txt"
inline constexpr int summary_unit = 5;   // the summary file: the console report's copy
inline constexpr int er_unit = 6;        // run name + "_ER.txt"
inline constexpr int window_unit = 7;    // run name + "_sw.txt"
inline constexpr int data_unit = 8;      // run name + ".txt"
inline constexpr int run_info_unit = 9;  // the run-information file "tmp"

}  // namespace calcium
