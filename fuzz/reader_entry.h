// What a program's fuzz_reader.cpp uses: values appended to
// read_outcome::values, and the calcium frame's reader for the programs
// built on it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "fuzz/program_readers.h"
#include "models/calcium/optics.h"

namespace calcium {
struct frame_config;
}

namespace fuzzcheck {

inline void put(std::vector<std::uint64_t>& out, double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  out.push_back(bits);
}
inline void put(std::vector<std::uint64_t>& out, int v) {
  out.push_back(static_cast<std::uint32_t>(v));
}
inline void put(std::vector<std::uint64_t>& out, const char* text, int len) {
  for (int i = 0; i < len; ++i) out.push_back(static_cast<unsigned char>(text[i]));
}
template <int N>
void put(std::vector<std::uint64_t>& out, const double (&v)[N]) {
  for (double d : v) put(out, d);
}

// False when one of the times is NaN or infinite, which no reader accepts.
inline bool all_finite(std::initializer_list<double> times) {
  for (double t : times)
    if (!std::isfinite(t)) return false;
  return true;
}

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
