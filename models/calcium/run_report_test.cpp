// The run-information file "tmp" and the run header.
#include "models/calcium/run_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/calcium/output_units.h"
#include "models/calcium/test_unit_file.h"

namespace calcium {
namespace {

using calcium_test::UnitFile;

const textio::run_stamp stamp = {"07-Mar-25", "09:41:05"};

// The sums run left to right from TPHASE(1): 1 + 1e16 rounds to 1e16, so
// the total comes out as 0.5 only in that order.
TEST(RunInformation, TenRecordsWithTheSumsLeftToRight) {
  const double tphase[5] = {1.0, 1e16, 1.0, -1e16, 0.5};
  const double offset[3] = {0.25, -2.0, 1e-3};
  UnitFile tmp(run_info_unit);
  write_run_information("ab  cd    ", tphase, stamp, offset);
  EXPECT_EQ(tmp.lines(),
            (std::vector<std::string>{" ab  cd    ", "   0.500000000000000", "   1.00000000000000",
                                      "   1.000000000000000E+016", "   1.000000000000000E+016",
                                      "   0.000000000000000", "  (07-Mar-25, 09:41:05)",
                                      "   0.250000000000000", "  -2.00000000000000",
                                      "   1.000000000000000E-003"}));
}

TEST(RunInformation, HeaderToTheSummaryFile) {
  UnitFile summary(summary_unit);
  write_run_header("ab        ", stamp);
  textio::console().flush();
  EXPECT_EQ(summary.lines(),
            (std::vector<std::string>{"  ", " Run ab         (07-Mar-25, 09:41:05)",
                                      " ====================================  "}));
}

}  // namespace
}  // namespace calcium
