// What a program's fuzz_reader.cpp gives the reader fuzz target: what its
// reader made of one file, the values flattened to bit patterns for
// comparison. Each program's entry is <name>::read_for_fuzzing(path); the
// target finds them through models/programs.txt.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "textio/value_reader.h"

namespace fuzzcheck {

// What one program's reader made of one file.
struct read_outcome {
  bool ok = false;
  textio::read_error err;             // filled when !ok
  std::vector<std::uint64_t> values;  // bit patterns of reals, ints and text bytes, in file order
  std::string broken_promise;         // set when a successful read let through a value its
                                      // program rejects (window length, output interval,
                                      // a NaN or infinite time)
};

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

}  // namespace fuzzcheck
