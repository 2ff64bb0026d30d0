// Test support: the base VELMO66.INP (158 lines) built in code on the shared
// builder, and a run of velmo66 on it in a scratch directory.
#pragma once

#include <string>

#include "models/calcium/test_run.h"

namespace velmo66_testing {

using namespace calcium_testing;

inline input_layout layout() {
  return {61,
          {82, 84, 106, 110, 127, 129, 132, 136},
          {{95, 23},
           {118, 23},
           {127, 1},
           {128, 2},
           {129, 3},
           {130, 20},
           {131, 63},
           {132, 73},
           {134, 1},
           {135, 2},
           {136, 3},
           {137, 20},
           {140, 63},
           {141, 73}}};
}

inline input_file base_input() {
  input_file in(layout());
  in.set(1, "t66        run name");
  return in;
}

inline const program velmo66_program{"velmo66", "VELMO66.INP", 10, true};

inline run run_velmo66(const std::string& text, std::string runname = "t66") {
  return run_program(velmo66_program, text, runname);
}
inline run run_velmo66(const input_file& in, std::string runname = "t66") {
  return run_velmo66(in.text(), runname);
}

}  // namespace velmo66_testing
