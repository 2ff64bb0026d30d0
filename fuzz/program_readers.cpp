// The readers of the programs of models/programs.txt, found by name.
#include "fuzz/program_readers.h"

#include "calcium_programs.h"  // generated from models/programs.txt

// Each program's entry, in its fuzz_reader.cpp.
#define CALCIUM_DECLARE_READER(name)                                 \
  namespace name {                                                   \
  fuzzcheck::read_outcome read_for_fuzzing(const std::string& path); \
  }
CALCIUM_PROGRAMS(CALCIUM_DECLARE_READER)
#undef CALCIUM_DECLARE_READER

namespace fuzzcheck {

namespace {

#define CALCIUM_READER(name) {#name, name::read_for_fuzzing},
const program_reader readers[] = {CALCIUM_PROGRAMS(CALCIUM_READER)};
#undef CALCIUM_READER

}  // namespace

std::span<const program_reader> programs() { return readers; }

const program_reader* find_program(std::string_view name) {
  for (const program_reader& p : readers)
    if (name == p.name) return &p;
  return nullptr;
}

}  // namespace fuzzcheck
