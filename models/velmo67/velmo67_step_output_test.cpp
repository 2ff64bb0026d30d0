// velmo67 end to end: the fluxes, set points, optics and PMCA.M estimate are
// formed only for the output steps that write the row triple and for the last
// step of each phase. Whatever NOUT is, the rows written and the phase reports
// must hold exactly what a run that writes every step shows.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "models/velmo67/test_run.h"

namespace {

using namespace velmo67_testing;

// The summary without its clock readings and NOUT lines.
std::vector<std::string> comparable_summary(const run& r) {
  static const std::regex varying(
      "\\d\\d:\\d\\d:\\d\\d|Execution time|System time|Date:|^    NOUT\\.+");
  std::vector<std::string> out;
  for (const auto& l : r.summary())
    if (!std::regex_search(l, varying)) out.push_back(l);
  return out;
}

TEST(Velmo67StepOutput, RowsAndReportsDoNotDependOnWhichStepsWriteRows) {
  // Phase lengths of 10, 11, 8, 6 and 4 output steps: with these NOUT the
  // last step of most phases writes no rows.
  const auto make_input = [](const std::array<int, 5>& nout) {
    input_file in;
    in.set_times(0.0, 0.1, 0.9, 1.0, 0.7, 0.5, 0.3);
    in.set_nout(nout[0], nout[1], nout[2], nout[3], nout[4]);
    return in;
  };
  const run every_step = run_velmo67(make_input({0, 0, 0, 0, 0}));
  ASSERT_EQ(every_step.result.exit_status, 0) << every_step.result.err;
  const std::vector<std::string> reports = comparable_summary(every_step);
  ASSERT_GT(reports.size(), 100u);

  const std::array<int, 5> sparse[] = {{3, 3, 3, 3, 3}, {-1, -1, -1, -1, -1}, {4, 7, 0, 5, -1}};
  for (const auto& nout : sparse) {
    SCOPED_TRACE("NOUT(1) " + std::to_string(nout[0]) + " NOUT(2) " + std::to_string(nout[1]));
    const run r = run_velmo67(make_input(nout));
    ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
    EXPECT_EQ(comparable_summary(r), reports);
    EXPECT_EQ(r.lines("_sw.txt"), every_step.lines("_sw.txt"));
    for (const char* suffix : {".txt", "_ER.txt", "_fluxes.txt"}) {
      const auto all = every_step.lines(suffix);
      const std::set<std::string> written_every_step(all.begin(), all.end());
      for (const auto& row : r.lines(suffix))
        EXPECT_TRUE(written_every_step.count(row)) << suffix << ": " << row;
    }
  }
}

}  // namespace
