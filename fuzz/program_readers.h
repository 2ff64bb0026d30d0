// The five programs' own parameter-file readers, each called on a file of the
// fuzzer's choosing, with what they read flattened for comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "textio/value_reader.h"

namespace fuzzcheck {

// What one program's reader made of one file.
struct read_outcome {
  bool ok = false;
  textio::read_error err;              // filled when !ok
  std::vector<std::uint64_t> values;   // bit patterns of reals, ints and text bytes, in file order
  std::string broken_promise;          // set when a successful read let through a value its
                                       // program rejects (window length, output interval)
};

struct program_reader {
  const char* name;  // "velmo67"
  read_outcome (*read)(const std::string& path);
};

// Reader `which` modulo the count: velmo67, velmo66, velmo65, velmo64v6,
// nilpora (the order of the seed bytes).
const program_reader& program(unsigned which);
unsigned program_count();

}  // namespace fuzzcheck
