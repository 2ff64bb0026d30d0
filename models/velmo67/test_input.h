// Test support: the base VELMO67.INP (161 lines) built in code, on the
// shared builder of the calcium programs' parameter files.
#pragma once

#include "models/calcium/test_input.h"

namespace velmo67_testing {

inline calcium_testing::input_layout layout() {
  return {64,
          {82, 84, 107, 113, 130, 132, 135, 139},
          {{102, 46},
           {121, 23},
           {130, 1},
           {131, 2},
           {132, 3},
           {133, 20},
           {134, 63},
           {135, 73},
           {137, 1},
           {138, 2},
           {139, 3},
           {140, 20},
           {143, 63},
           {144, 73}}};
}

class input_file : public calcium_testing::input_file {
 public:
  static constexpr int line_count = 161;

  input_file() : calcium_testing::input_file(layout()) { set(1, "t67        run name"); }
};

}  // namespace velmo67_testing
