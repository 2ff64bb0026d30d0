// Test support: the base VELMO65.INP (158 lines, velmo66's layout) built in
// code on the shared builder, and a run of velmo65 on it in a scratch
// directory.
#pragma once

#include <string>

#include "models/calcium/test_run.h"

namespace velmo65_testing {

using namespace calcium_testing;

inline input_layout layout() {
  return {61,
          {82, 84, 106, 110, 127, 129, 132, 136},
          {{82, 1}, {93, 20}, {108, 1}, {117, 20}, {127, 1}, {130, 20}, {134, 1}, {137, 20}}};
}

inline input_file base_input() {
  input_file in(layout());
  in.set(1, "t65         run name");
  return in;
}

inline const program velmo65_program{"velmo65", "VELMO65.INP", 11, true};

inline run run_velmo65(const std::string& text, std::string runname = "t65") {
  return run_program(velmo65_program, text, runname);
}
inline run run_velmo65(const input_file& in, std::string runname = "t65") {
  return run_velmo65(in.text(), runname);
}

}  // namespace velmo65_testing
