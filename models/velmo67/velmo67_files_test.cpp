// velmo67 end to end: the files it creates, their rows and line ends, the
// spectrum file, "tmp", and the console and summary copies of the report.
#include <gtest/gtest.h>

#include <algorithm>

#include "models/velmo67/test_run.h"

namespace {

using namespace velmo67_testing;

const std::vector<std::string> suffixes = {".txt",        "_ER.txt",
                                           "_fluxes.txt", "_jSOCC-Ca_lum.txt",
                                           "_spec.txt",   "_summary.txt",
                                           "_sw.txt"};

TEST(Velmo67Files, NamesAreTheWholePaddedRunNameAndASuffix) {
  struct named {
    std::string line1;   // as written on line 1
    std::string padded;  // RUNNAME as the program holds it
  };
  const named cases[] = {{"ab   short name", "ab"},
                         {"'  xy'", "  xy"},
                         {"' '", ""},
                         {"abcdefghijklm", "abcdefghij"}};
  for (const named& c : cases) {
    input_file in;
    in.set(1, c.line1);
    in.set_times(0.0, 0.5, 1.0, 0.0, 1.0, 1.0, 1.0);
    const run r = run_velmo67(in, c.padded);
    ASSERT_EQ(r.result.exit_status, 0) << c.line1 << "\n" << r.result.err;
    std::vector<std::string> expected = {"VELMO67.INP", "tmp"};
    for (const std::string& s : suffixes) expected.push_back(file_prefix(r.runname) + s);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(r.dir->files(), expected) << c.line1;
    EXPECT_EQ(split_lines(r.dir->read("tmp"))[0], " " + r.runname) << c.line1;
  }
}

TEST(Velmo67Files, EveryRowHasItsWidthAndEveryLineEndsInALineFeed) {
  const run r = run_velmo67(input_file());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const std::pair<std::string, std::size_t> widths[] = {{".txt", 624},
                                                        {"_ER.txt", 160},
                                                        {"_fluxes.txt", 256},
                                                        {"_sw.txt", 26},
                                                        {"_jSOCC-Ca_lum.txt", 26}};
  // 11 output steps in phases 1 and 2 (DTOUT 0.1), 10 in each later phase.
  const std::size_t steps = 11 + 11 + 10 + 10 + 10;
  for (const auto& [suffix, width] : widths) {
    const std::string text = r.file(suffix);
    ASSERT_FALSE(text.empty()) << suffix;
    EXPECT_EQ(text.back(), '\n') << suffix;
    EXPECT_EQ(text.find('\r'), std::string::npos) << suffix;
    const auto rows = split_lines(text);
    EXPECT_EQ(rows.size(), suffix == "_jSOCC-Ca_lum.txt" ? 5 : steps) << suffix;
    for (const std::string& row : rows) {
      ASSERT_EQ(row.size(), width) << suffix << ": " << row;
      ASSERT_EQ(row[0], ' ') << suffix;
    }
  }
  for (const std::string& text : {r.result.out, r.file("_summary.txt"), r.dir->read("tmp")}) {
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
  }
  // The time column: start value plus one DTOUT per output step, across the
  // phase boundaries; the last phases with the single-precision 0.1.
  const auto data = r.lines(".txt");
  EXPECT_EQ(data[0].substr(0, 17), "    0.000000E+00,");
  EXPECT_EQ(data[11].substr(0, 17), "    1.100000E+00,");
  EXPECT_NEAR(column(data.back(), 1), 5.1, 1e-6);
}

TEST(Velmo67Files, SpectrumFileHoldsSixBlocksOf601RowsEachClosedByABlankRecord) {
  const run r = run_velmo67(input_file());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto lines = r.lines("_spec.txt");
  ASSERT_EQ(lines.size(), 6u * 602u);
  for (int b = 0; b < 6; ++b) {
    const std::size_t first = b * 602;
    EXPECT_EQ(lines[first].substr(0, 14), "   2.0000E+02,") << b;
    EXPECT_EQ(lines[first + 600].substr(0, 14), "   8.0000E+02,") << b;
    EXPECT_EQ(lines[first + 601], "  ") << b;
    for (std::size_t i = first; i < first + 601; ++i) ASSERT_EQ(lines[i].size(), 26u);
  }
}

TEST(Velmo67Files, RunInformationFileHoldsTheTenRecords) {
  input_file in;
  in.set_times(0.0, 0.5, 1.5, 2.0, 0.25, 1.0, 3.0);
  in.set(156, "0.5 OFFSET1");
  in.set(157, "1.0e9 OFFSET2");
  in.set(158, "-2.5 OFFSET3");
  const run r = run_velmo67(in);
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto tmp = split_lines(r.dir->read("tmp"));
  ASSERT_EQ(tmp.size(), 10u);
  EXPECT_EQ(tmp[0], " t67       ");
  EXPECT_EQ(tmp[1], "   7.75000000000000");
  EXPECT_EQ(tmp[2], "   1.50000000000000");
  EXPECT_EQ(tmp[3], "   3.50000000000000");
  EXPECT_EQ(tmp[4], "   3.75000000000000");
  EXPECT_EQ(tmp[5], "   4.75000000000000");
  EXPECT_TRUE(
      std::regex_match(tmp[6], std::regex(R"(  \(\d\d-[A-Z][a-z][a-z]-\d\d, \d\d:\d\d:\d\d\))")))
      << tmp[6];
  EXPECT_EQ(tmp[7], "   0.500000000000000");
  EXPECT_EQ(tmp[8], "   1000000000.00000");
  EXPECT_EQ(tmp[9], "  -2.50000000000000");
}

// With no maxima there are no period lists or echoes: the console and the
// summary file carry the same lines in the same order.
TEST(Velmo67Report, ConsoleAndSummaryCarryTheSameReport) {
  const run r = run_velmo67(input_file());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(console, r.summary());

  ASSERT_GE(console.size(), 3u);
  EXPECT_EQ(console[0], "  ");
  EXPECT_TRUE(std::regex_match(
      console[1], std::regex(R"( Run t67        \(\d\d-[A-Z][a-z][a-z]-\d\d, \d\d:\d\d:\d\d\))")))
      << console[1];
  EXPECT_EQ(console[2], " ====================================  ");
  EXPECT_EQ(console[3], " Phase   1");

  // One phase report between two phase headers: species table (51 lines, 9
  // blank records), blank, heading, 38 rate constants, blank, heading, 10
  // fluxes, blank, NOUT, blank, heading, 8 concentration lines, blank.
  const auto p2 = std::find(console.begin(), console.end(), " Phase   2") - console.begin();
  ASSERT_EQ(p2, 4 + 125);
  const std::vector<std::string> report(console.begin() + 4, console.begin() + p2);
  EXPECT_EQ(report[0].substr(0, 21), "   Ca_cyt_set (PMCA).");
  EXPECT_EQ(report[6], "  ");
  EXPECT_EQ(report[59].substr(0, 21), "   <PMCA.M>..........");
  EXPECT_EQ(report[60], "  ");
  EXPECT_EQ(report[61], "   rate constants ki at end of phase  1 :");
  EXPECT_EQ(report[62].substr(0, 21), "   k1................");
  EXPECT_EQ(report[65].substr(0, 21), "   k63...............");
  EXPECT_EQ(report[99].substr(0, 21), "   k78...............");
  EXPECT_EQ(report[101], "   Ca-fluxes at end of phase  1 :");
  EXPECT_EQ(report[102].substr(0, 21), "    j1 (leak to cyto)");
  EXPECT_EQ(report[104].substr(0, 21), "    jNCX.............");
  EXPECT_EQ(report[111].substr(0, 21), "    jSOCC............");
  EXPECT_EQ(report[113], "    NOUT...............  0");
  EXPECT_EQ(report[115], "    concentrations at end of phase   1 :");
  EXPECT_EQ(report[116].substr(52), "  !Ca_cyt,PMCA.M*,Ca_ext,M");
  EXPECT_EQ(report[124], "  ");
  for (int i = 0; i < 112; ++i) {
    if (i == 60 || i == 61 || i == 100 || i == 101 || report[i] == "  ") continue;
    EXPECT_EQ(report[i].size(), 33u) << i << ": " << report[i];
  }
  for (int i = 116; i < 124; ++i) EXPECT_EQ(report[i].size(), 1u + 4 * 12 + 3 + 26) << report[i];

  // The end of the run: five phases, then the end-of-run report.
  EXPECT_EQ(matching(console, "^ Phase ").size(), 5u);
  const std::size_t n = console.size();
  EXPECT_EQ(console[n - 8], "  ");
  EXPECT_EQ(console[n - 7], "  ");
  EXPECT_TRUE(std::regex_match(console[n - 6],
                               std::regex(R"( Execution of t67        ended at: \d\d:\d\d:\d\d)")))
      << console[n - 6];
  EXPECT_EQ(console[n - 5].substr(0, 22), " Execution time (s):  ");
  EXPECT_EQ(console[n - 4].substr(0, 22), " System time    (s):  ");
  EXPECT_TRUE(std::regex_match(console[n - 3], std::regex(R"( Date: \d\d-[A-Z][a-z][a-z]-\d\d)")));
  EXPECT_EQ(console[n - 2], " ========================================== ");
  EXPECT_EQ(console[n - 1], "  ");
}

}  // namespace
