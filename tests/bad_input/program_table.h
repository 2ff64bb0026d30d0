// The programs as the bad-input tests see them, in the order of
// models/programs.txt: each program's own test facts (parameter file,
// example, line end, run-name length, the lines a complete file has, where
// the values worth breaking stand, and the suffixes of the result files).
#pragma once

#include <vector>

#include "calcium_program_facts.h"  // generated from models/programs.txt
#include "testing/program_facts.h"

namespace bad_input {

using program_info = testing_support::program_facts;

inline const std::vector<program_info>& programs() {
#define CALCIUM_TEST_FACTS(name) name::test_facts(),
  static const std::vector<program_info> table = {CALCIUM_PROGRAMS(CALCIUM_TEST_FACTS)};
#undef CALCIUM_TEST_FACTS
  return table;
}

}  // namespace bad_input
