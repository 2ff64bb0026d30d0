// velmo66 end to end: the files it creates, CR LF on every line, the rows,
// its 35-line rate-constant table and its end-of-run report.
#include <gtest/gtest.h>

#include <algorithm>

#include "models/velmo66/test_input.h"
#include "models/velmo67/test_input.h"

namespace {

using namespace velmo66_testing;

const std::vector<std::string> suffixes = {".txt",        "_ER.txt",
                                           "_fluxes.txt", "_jSOCC-Ca_lum.txt",
                                           "_spec.txt",   "_summary.txt",
                                           "_sw.txt"};

TEST(Velmo66Files, EightFilesEveryLineEndingInCrLf) {
  const run r = run_velmo66(base_input());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  std::vector<std::string> expected = {"VELMO66.INP", "tmp"};
  for (const std::string& s : suffixes) expected.push_back("t66       " + s);
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(r.dir->files(), expected);

  for (const std::string& name : expected) {
    if (name == "VELMO66.INP") continue;
    EXPECT_TRUE(every_line_ends_in_crlf(r.dir->read(name))) << name;
  }
  EXPECT_TRUE(every_line_ends_in_crlf(r.result.out));
  EXPECT_EQ(r.result.err, "");

  // velmo67's rows and its DTOUT reset after phase 2: 11 output steps in
  // phases 1 and 2, 10 in each later phase of duration 1.0.
  const std::pair<std::string, std::size_t> widths[] = {{".txt", 624},
                                                        {"_ER.txt", 160},
                                                        {"_fluxes.txt", 256},
                                                        {"_sw.txt", 26},
                                                        {"_jSOCC-Ca_lum.txt", 26}};
  for (const auto& [suffix, width] : widths) {
    const auto rows = r.lines(suffix);
    EXPECT_EQ(rows.size(), suffix == "_jSOCC-Ca_lum.txt" ? 5u : 11u + 11u + 10u + 10u + 10u)
        << suffix;
    for (const std::string& row : rows) ASSERT_EQ(row.size(), width) << suffix << ": " << row;
  }
  EXPECT_EQ(r.lines("_spec.txt").size(), 6u * 602u);
  EXPECT_EQ(crlf_lines(r.dir->read("tmp")).size(), 10u);
}

TEST(Velmo66Report, RateConstantTableHas35LinesWithoutK46K77K78) {
  const run r = run_velmo66(base_input());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const std::vector<std::string> labels = {"k1",  "k2",  "k3",  "k63", "k4",  "k64", "k5",
                                           "k60", "k6",  "k61", "k7",  "k62", "k8",  "k9",
                                           "k10", "k11", "k12", "k67", "k13", "k68", "k16",
                                           "k18", "k19", "k20", "k21", "k22", "k23", "k25",
                                           "k26", "k27", "k36", "k38", "k71", "k72", "k73"};
  for (const auto& lines : {r.console(), r.summary()}) {
    for (int phase = 1; phase <= 5; ++phase) {
      const auto table = rate_constant_table(lines, phase, 35);
      ASSERT_EQ(table.size(), 35u) << phase;
      for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(table[i].first, labels[i]) << phase;
        const int n = std::stoi(labels[i].substr(1));
        EXPECT_DOUBLE_EQ(table[i].second, input_file::base_k[n - 1]) << labels[i];
      }
    }
    EXPECT_TRUE(matching(lines, "k46\\.|k77\\.|k78\\.").empty());
  }
  // The line after the table is the blank record.
  const auto s = r.summary();
  const auto heading = std::find(s.begin(), s.end(), "   rate constants ki at end of phase  1 :");
  ASSERT_LT(heading + 36, s.end());
  EXPECT_EQ(*(heading + 36), "  ");
}

// Quiet base file: no maxima, so console and summary carry the same lines.
TEST(Velmo66Report, EndOfRunReportHasNoCpuTimeLines) {
  const run r = run_velmo66(base_input());
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(console, r.summary());
  EXPECT_TRUE(matching(console, "Execution time|System time").empty());
  const std::size_t n = console.size();
  ASSERT_GT(n, 6u);
  EXPECT_EQ(console[n - 6], "  ");
  EXPECT_EQ(console[n - 5], "  ");
  EXPECT_TRUE(std::regex_match(console[n - 4],
                               std::regex(R"( Execution of t66        ended at: \d\d:\d\d:\d\d)")))
      << console[n - 4];
  EXPECT_TRUE(std::regex_match(console[n - 3], std::regex(R"( Date: \d\d-[A-Z][a-z][a-z]-\d\d)")));
  EXPECT_EQ(console[n - 2], " ========================================== ");
  EXPECT_EQ(console[n - 1], "  ");
  // Header (3), then per phase a header and a report of 122 lines: species
  // table 60, blank, heading, 35 constants, blank, heading, 10 fluxes, blank,
  // NOUT, blank, heading, 8 concentration lines, blank.
  EXPECT_EQ(n, 3u + 5u * (1u + 122u) + 5u);
  EXPECT_EQ(console[3 + 123], " Phase   2");
}

TEST(Velmo66Example, ShippedExampleRunsAllFivePhases) {
  const std::string text =
      testing_support::read_file(testing_support::source_dir() + "/examples/velmo66/VELMO66.INP");
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 158);
  const run r = run_velmo66(text, "velmo66-ex");
  ASSERT_EQ(r.result.exit_status, 0) << r.result.err;
  const auto console = r.console();
  EXPECT_EQ(matching(console, "^ Phase ").size(), 5u);
  EXPECT_EQ(matching(console, "^ Execution of velmo66-ex ended at: ").size(), 1u);
  // No integrator message in the ER file: every line is an ER row.
  for (const std::string& row : r.lines("_ER.txt")) ASSERT_EQ(row.size(), 160u) << row;
  EXPECT_EQ(r.lines("_jSOCC-Ca_lum.txt").size(), 5u);
}

// velmo66 is velmo67 with its own file layout, phase-2 switch, rate-constant
// table, end-of-run report and line ends: the same run laid out for each
// program gives the same files byte for byte once those are taken out.
TEST(Velmo66Files, SameRunAsVelmo67ApartFromItsDifferences) {
  struct later_switch {
    int line66;  // velmo67 reads it three lines further down
    double value;
  };
  const later_switch switches[] = {{118, 2.0},  {127, 3.0e-5}, {128, 0.08}, {129, 30.0},
                                   {130, 0.6},  {131, 15.0},   {132, 2e-4}, {134, 2.0e-6},
                                   {135, 0.03}, {136, 10.0},   {137, 0.3},  {140, 5.0},
                                   {141, 5e-5}};
  input_file in66 = base_input();
  velmo67_testing::input_file in67;
  for (auto* in : {static_cast<calcium_testing::input_file*>(&in66),
                   static_cast<calcium_testing::input_file*>(&in67)}) {
    in->set(1, "same");
    in->set_times(0.5, 0.2, 2.0, 1.0, 1.0, 3.0, 2.0);
  }
  in66.set_nout(0, 2, 0, 3, 1);
  in67.set_nout(0, 2, 0, 3, 1);
  for (const later_switch& s : switches) {
    in66.set_phase_value(s.line66, s.value);
    in67.set_phase_value(s.line66 + 3, s.value);
  }
  const run r66 = run_velmo66(in66, "same");
  const run r67 = run_program({"velmo67", "VELMO67.INP", 10, false}, in67.text(), "same");
  ASSERT_EQ(r66.result.exit_status, 0) << r66.result.err;
  ASSERT_EQ(r67.result.exit_status, 0) << r67.result.err;

  // Same text, lines ending in CR LF.
  const auto as_crlf = [](const std::vector<std::string>& lines) {
    std::string t;
    for (const std::string& l : lines) t += l + "\r\n";
    return t;
  };
  for (const char* suffix :
       {".txt", "_ER.txt", "_fluxes.txt", "_sw.txt", "_spec.txt", "_jSOCC-Ca_lum.txt"}) {
    ASSERT_FALSE(r67.file(suffix).empty()) << suffix;
    EXPECT_EQ(r66.file(suffix), as_crlf(r67.lines(suffix))) << suffix;
  }
  // The reports: velmo67's without k46, k77, k78 and the CPU-time lines;
  // run stamps masked, as the two runs may straddle a second.
  const auto masked = [](std::vector<std::string> lines, bool drop) {
    const std::regex stamp(R"(\d\d:\d\d:\d\d|\d\d-[A-Z][a-z][a-z]-\d\d)");
    const std::regex gone(R"(^   k(46|77|78)\.|^ (Execution|System) time)");
    std::vector<std::string> kept;
    for (const std::string& l : lines)
      if (!drop || !std::regex_search(l, gone)) kept.push_back(std::regex_replace(l, stamp, "#"));
    return kept;
  };
  EXPECT_EQ(masked(r66.console(), false), masked(r67.console(), true));
  EXPECT_EQ(masked(r66.summary(), false), masked(r67.summary(), true));
  EXPECT_EQ(masked(crlf_lines(r66.dir->read("tmp")), false),
            masked(split_lines(r67.dir->read("tmp")), false));
  // Phases 4 and 5 switch k1: the runs are not at rest.
  EXPECT_NE(r67.lines(".txt").front().substr(16, 16), r67.lines(".txt").back().substr(16, 16));
}

}  // namespace
