// velmo65 end to end: its four files, CR LF on every line, the 34-column
// data row, the output interval kept in every phase, the report without
// period analysis and <PMCA.M>, and its end-of-run report.
#include <gtest/gtest.h>

#include <algorithm>

#include "models/velmo65/test_input.h"

namespace {

using namespace velmo65_testing;

TEST(Velmo65Files, FourFilesEveryLineEndingInCrLf) {
  const run r = run_velmo65(base_input());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const std::vector<std::string> expected = {"VELMO65.INP", "t65        .txt",
                                             "t65        _fluxes.txt", "t65        _summary.txt",
                                             "tmp"};
  ASSERT_EQ(r.dir->files(), expected);
  for (const std::string& name : expected) {
    if (name == "VELMO65.INP") continue;
    EXPECT_TRUE(every_line_ends_in_crlf(r.dir->read(name))) << name;
  }
  EXPECT_TRUE(every_line_ends_in_crlf(r.result.out));
  EXPECT_EQ(r.result.err, "");

  // No DTOUT reset: 11 output steps in each of the five phases of 1.0.
  const auto data = r.lines(".txt");
  const auto flux = r.lines("_fluxes.txt");
  ASSERT_EQ(data.size(), 5u * 11u);
  ASSERT_EQ(flux.size(), 5u * 11u);
  for (const std::string& row : data) ASSERT_EQ(row.size(), 544u) << row;
  for (const std::string& row : flux) ASSERT_EQ(row.size(), 256u) << row;
  EXPECT_EQ(data[44].substr(0, 16), "    4.400000E+00");
  EXPECT_EQ(data[54].substr(0, 16), "    5.400000E+00");
  // The last column is Ca_lum, the third field of concentration line 3.
  EXPECT_EQ(data[0].substr(data[0].size() - 15), "   4.000000E+02");

  const auto tmp = crlf_lines(r.dir->read("tmp"));
  ASSERT_EQ(tmp.size(), 10u);
  EXPECT_EQ(tmp[0], " t65        ");
}

TEST(Velmo65Files, RunNameOfElevenCharacters) {
  struct named {
    std::string line1;
    std::string file;  // the data file's name
  };
  const named cases[] = {{"abcdefghij   ten", "abcdefghij .txt"},
                         {"abcdefghijk  eleven", "abcdefghijk.txt"},
                         {"abcdefghijklmn", "abcdefghijk.txt"}};
  for (const named& c : cases) {
    input_file in = base_input();
    in.set(1, c.line1);
    in.set_times(0.0, 0.5, 0.5, 0.0, 1.0, 1.0, 1.0);
    scratch_dir dir;
    dir.write("VELMO65.INP", in.text());
    ASSERT_EQ(dir.run("velmo65").exit_status, 0) << c.line1;
    EXPECT_TRUE(dir.exists(c.file)) << c.line1;
    EXPECT_EQ(dir.files().size(), 5u) << c.line1;
  }
}

TEST(Velmo65Report, NoPeriodAnalysisAndNoMeanPmcaMRow) {
  const run r = run_velmo65(base_input());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(console, r.summary());
  EXPECT_EQ(matching(console, "<PMCA\\.M>").size(), 0u);
  EXPECT_EQ(matching(console, "^   <period>\\.{10}  0\\.0000E\\+00$").size(), 5u);
  EXPECT_EQ(matching(console, "^   coop STIM-Ca\\.{6}").size(), 5u);
  EXPECT_TRUE(matching(console, "Execution time|System time").empty());

  // Per phase a header and 121 report lines: species table 59 (50 label
  // lines, 9 blank records), blank, heading, 35 constants, blank, heading,
  // 10 fluxes, blank, NOUT, blank, heading, 8 concentration lines, blank.
  const std::size_t n = console.size();
  ASSERT_EQ(n, 3u + 5u * (1u + 121u) + 5u);
  EXPECT_EQ(console[3 + 122], " Phase   2");
  EXPECT_EQ(console[3 + 59].substr(0, 21), "   coop STIM-Ca......");
  EXPECT_EQ(console[3 + 60], "  ");
  EXPECT_EQ(console[3 + 61], "   rate constants ki at end of phase  1 :");
  EXPECT_EQ(console[3 + 62].substr(0, 21), "   k1................");
  EXPECT_EQ(console[3 + 96].substr(0, 21), "   k73...............");
  EXPECT_EQ(console[3 + 97], "  ");

  EXPECT_EQ(console[n - 6], "  ");
  EXPECT_EQ(console[n - 5], "  ");
  EXPECT_TRUE(std::regex_match(console[n - 4],
                               std::regex(R"( Execution of t65         ended at: \d\d:\d\d:\d\d)")))
      << console[n - 4];
  EXPECT_TRUE(std::regex_match(console[n - 3], std::regex(R"( Date: \d\d-[A-Z][a-z][a-z]-\d\d)")));
  EXPECT_EQ(console[n - 2], " ========================================== ");
  EXPECT_EQ(console[n - 1], "  ");
}

std::string example_text() {
  return testing_support::read_file(testing_support::source_dir() +
                                    "/examples/velmo65/VELMO65.INP");
}

TEST(Velmo65Example, ShippedExampleRunsAllFivePhases) {
  const std::string text = example_text();
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 158);
  const run r = run_velmo65(text, "velmo65-run");
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(matching(console, "^ Phase ").size(), 5u);
  EXPECT_EQ(matching(console, "^ Execution of velmo65-run ended at: ").size(), 1u);
  EXPECT_TRUE(matching(console, "INTEG--|INTRP--|ERROR HALT").empty());
  EXPECT_EQ(r.dir->files().size(), 5u);
}

// The example's calcium oscillates in phase 1: velmo66 reading the same file
// (a velmo65 file is a velmo66 file line for line) finds a period there;
// velmo65 has no maximum detector, so no echo, no period list and a
// <period> of 0.
TEST(Velmo65Example, OscillationGivesNoPeriodLines) {
  std::string text = example_text();
  text.replace(0, text.find('\n'), "ex");
  const auto time_line = text.find('\n') + 1;
  text.replace(time_line, text.find('\n', time_line) - time_line, "0.0 0.1 400.0 0.0 1 1 1");

  const run v65 = run_velmo65(text, "ex");
  ASSERT_EQ(v65.result.exit_status, 0) << v65.result.err;
  EXPECT_EQ(v65.console(), v65.summary());
  EXPECT_EQ(matching(v65.console(), "^   <period>\\.{10}  0\\.0000E\\+00$").size(), 1u);

  const run v66 = run_program({"velmo66", "VELMO66.INP", 10, true}, text, "ex");
  ASSERT_EQ(v66.result.exit_status, 0) << v66.result.err;
  EXPECT_GT(v66.console().size(), v66.summary().size());
  const auto period = matching(v66.console(), "^   <period>\\.{10}");
  ASSERT_EQ(period.size(), 1u);
  EXPECT_GT(std::stod(period[0].substr(21)), 0.0);
}

}  // namespace
