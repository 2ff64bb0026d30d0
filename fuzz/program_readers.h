// The programs' own parameter-file readers, each called on a file of the
// fuzzer's choosing, with what they read flattened for comparison. Each
// program's entry, <name>::read_for_fuzzing, is its fuzz_reader.cpp; the
// programs are those of models/programs.txt.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

struct program_reader {
  const char* name;  // "velmo67"
  read_outcome (*read)(const std::string& path);
};

// Every program, in the order of the list.
std::span<const program_reader> programs();

// The program called `name`; null when no program has that name.
const program_reader* find_program(std::string_view name);

}  // namespace fuzzcheck
