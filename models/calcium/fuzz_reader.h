// The calcium frame's part of the programs' fuzz entries: the frame's reader
// with a program's configuration, and the optical bands as values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models/calcium/optics.h"
#include "testing/fuzz_reader.h"

namespace calcium {
struct frame_config;
}

namespace fuzzcheck {

inline void put_bands(std::vector<std::uint64_t>& out, const calcium::band (&bands)[3]) {
  for (const calcium::band& b : bands) {
    put(out, b.epsilon);
    put(out, b.sigma);
    put(out, b.lamda);
  }
}

// A calcium-frame program: its configuration with the file name swapped,
// then the frame's reader and the set-up the program runs after it.
read_outcome read_calcium_program(const calcium::frame_config& program_cfg,
                                  const std::string& path);

}  // namespace fuzzcheck
