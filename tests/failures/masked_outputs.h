// Result files of two runs compared with their run stamps and CPU times
// masked, a difference reported as the first line where they part.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "testing/program_run.h"
#include "tests/golden/golden_compare.h"

namespace failures {

// The named files of `dir`, masked, by name.
inline std::map<std::string, std::string> masked_files(const testing_support::scratch_dir& dir,
                                                       const std::vector<std::string>& names) {
  std::map<std::string, std::string> files;
  for (const std::string& n : names) files[n] = golden::mask_run_stamp(dir.read(n));
  return files;
}

// The same names, and under each the same text.
inline void expect_same_outputs(const std::map<std::string, std::string>& expected,
                                const std::map<std::string, std::string>& actual) {
  std::vector<std::string> expected_names, actual_names;
  for (const auto& [name, text] : expected) expected_names.push_back(name);
  for (const auto& [name, text] : actual) actual_names.push_back(name);
  EXPECT_EQ(actual_names, expected_names);
  for (const auto& [name, text] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) continue;
    if (const auto d = golden::first_difference(text, found->second))
      ADD_FAILURE() << golden::describe(name, *d);
  }
}

}  // namespace failures
