// A result file of a program: the unit it is written on and its name, the
// run name followed by a fixed suffix, or a fixed name ("tmp").
#pragma once

#include <string>
#include <string_view>

namespace calcium {

struct result_file {
  int unit;
  std::string_view suffix;
  std::string_view fixed_name;
};

// The name of `f` for the run name `runname` (whole, blank-padded).
std::string file_name(const result_file& f, std::string_view runname);

}  // namespace calcium
