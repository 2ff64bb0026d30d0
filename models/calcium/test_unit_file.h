// Test support: lines written through an output unit, read back from a
// scratch file.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "textio/units.h"

namespace calcium_test {

// Opens `unit` on a scratch file (line ends LF) while it lives.
class UnitFile {
 public:
  explicit UnitFile(int unit) : unit_(unit) {
    textio::set_line_end(textio::line_end::lf);
    path_ = "/tmp/calcium_unit_" + std::to_string(getpid()) + "_" + std::to_string(unit);
    std::string error;
    EXPECT_TRUE(textio::open_unit(unit_, path_, &error)) << error;
  }
  ~UnitFile() {
    textio::close_unit(unit_);
    std::remove(path_.c_str());
  }
  UnitFile(const UnitFile&) = delete;
  UnitFile& operator=(const UnitFile&) = delete;

  // Closes the unit and returns what it received.
  std::vector<std::string> lines() {
    textio::close_unit(unit_);
    std::ifstream in(path_);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }

 private:
  int unit_;
  std::string path_;
};

}  // namespace calcium_test
