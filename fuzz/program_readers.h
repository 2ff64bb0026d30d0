// The programs' own parameter-file readers, each called on a file of the
// fuzzer's choosing, with what they read flattened for comparison. Each
// program's entry, <name>::read_for_fuzzing, is its fuzz_reader.cpp; the
// programs are those of models/programs.txt.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "testing/fuzz_reader.h"

namespace fuzzcheck {

struct program_reader {
  const char* name;  // "velmo67"
  read_outcome (*read)(const std::string& path);
};

// Every program, in the order of the list.
std::span<const program_reader> programs();

// The program called `name`; null when no program has that name.
const program_reader* find_program(std::string_view name);

}  // namespace fuzzcheck
