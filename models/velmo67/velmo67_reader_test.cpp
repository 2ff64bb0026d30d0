// velmo67 end to end: a parameter file it cannot use, or a result file it
// cannot create, stops it before it writes anything, with one line on
// standard error and exit status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "models/calcium/parameter_file.h"
#include "models/velmo67/configuration.h"
#include "models/velmo67/network.h"
#include "models/velmo67/test_run.h"

namespace {

using namespace velmo67_testing;

TEST(Velmo67Reader, BadParameterFilesStopBeforeAnyResultFile) {
  using calcium_testing::bad_file;
  const auto with = [](int line, std::string value) {
    return calcium_testing::with_line(input_file(), line, value);
  };
  const bad_file cases[] = {
      {"short file", [] { return input_file().head(100); },
       "VELMO67.INP line 101: PHASECHG(101): "},
      {"bad real", with(57, "abc  k55"), "VELMO67.INP line 57: k55: "},
      {"bad integer", with(154, "1.5 0 0 0 0"), "VELMO67.INP line 154: NOUT(1): "},
      {"bad species value", with(148, "1.0, 1.0, x, 0.5"), "VELMO67.INP line 148: Ca_lum: "},
      {"window length 0", with(155, "0  NSW"), "VELMO67.INP line 155: NSW: "},
      {"window length 1001", with(155, "1001  NSW"), "VELMO67.INP line 155: NSW: "},
      {"negative interval", with(2, "0.0 -0.1 1 1 1 1 1"), "VELMO67.INP line 2: DTOUT: "},
      // A pair line with one value reads one line further from there on, so
      // the last band line is cut off by the end of the file.
      // A pair line with one value takes its second from the next line, and
      // every later statement reads one line further down, here into a note.
      {"pair line with one value", with(130, "2.0e-5"), "VELMO67.INP line 133: PHASECHG(132,2): "},
  };
  for (const bad_file& c : cases)
    calcium_testing::expect_reader_stop(velmo67_program, c.text(), c.message, c.what);
}

// A bad value at any place of the initial-state lines names its own species:
// every line, every position (the first, the middle ones and the last).
TEST(Velmo67Reader, StateValueErrorsNameTheirSpecies) {
  const char* const species[8][4] = {
      {"Ca_cyt", "PMCA.M*", "Ca_ext", "M"}, {"MCa4", "B", "BCa4", "PMCA.M"},
      {"PMCA", "SERCA", "Ca_lum", "L"},     {"LCa30", "S", "R", "R.S"},
      {"ARCC", "IP3R.IP3", "IP3", "Ind"},   {"Cacyt.Ind", "S2", "Gprot", "GS2"},
      {"PLC", "NCX.M*", "NCX.M", "NCX"},    {"STIM", "STIM.Ca", "SOCC", "IP3R"}};
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 4; ++i) {
      input_file in;
      const int line = in.state_line() + k;
      std::string text = in.get(line);
      text.replace(1 + 13 * i, 12, "        bad" + std::to_string(i));
      in.set(line, text);
      const std::string message =
          "VELMO67.INP line " + std::to_string(line) + ": " + species[k][i] + ": ";
      calcium_testing::expect_reader_stop(velmo67_program, in.text(), message, text);
    }
  }
}

TEST(Velmo67Reader, MissingParameterFile) {
  scratch_dir dir;
  const run_result r = dir.run("velmo67");
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_EQ(r.err.rfind("VELMO67.INP line 1: RUNNAME: ", 0), 0u) << r.err;
  EXPECT_TRUE(dir.files().empty());
}

TEST(Velmo67Reader, ResultFileThatCannotBeCreatedStopsBeforeAnythingIsWritten) {
  {
    scratch_dir dir;
    input_file in;
    in.set(1, "'sub/x'");
    dir.write("VELMO67.INP", in.text());
    const run_result r = dir.run("velmo67");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("sub/x"), std::string::npos) << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 1u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO67.INP"});
  }
  {
    // The summary file is the third of the group: the data file and "tmp"
    // opened before it are removed again, nothing is left behind.
    scratch_dir dir;
    dir.write("VELMO67.INP", input_file().text());
    std::filesystem::create_directory(dir / "t67       _summary.txt");
    const run_result r = dir.run("velmo67");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("_summary.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO67.INP"});
  }
}

TEST(Velmo67Reader, ExistingResultFilesAreReplaced) {
  scratch_dir dir;
  input_file in;
  in.set_times(0.0, 0.5, 0.5, 0.0, 1.0, 1.0, 1.0);
  dir.write("VELMO67.INP", in.text());
  dir.write("tmp", std::string(5000, 'x'));
  dir.write("t67       _sw.txt", std::string(5000, 'x'));
  ASSERT_EQ(dir.run("velmo67").exit_status, 0);
  EXPECT_EQ(split_lines(dir.read("tmp")).size(), 10u);
  EXPECT_EQ(split_lines(dir.read("t67       _sw.txt")).size(), 2u);
}

// Every line of the file carries values made from its own line number, so a
// value read from the wrong line or stored in the wrong place shows at once.
TEST(Velmo67Reader, EveryLineGoesToItsDestination) {
  std::vector<std::string> lines;
  const auto add = [&lines](std::string text) { lines.push_back(std::move(text)); };
  add("abcdefghijKLM   a run name longer than ten characters");
  // Durations whose left-to-right total (0.5) differs from other groupings.
  add("0.125 0.25 1.0 1e16 1.0 -1e16 0.5   time line");
  for (int line = 3; line <= 81; ++line) add(std::to_string(line) + ".25   note 1 2 3");
  const std::set<int> pairs = {82, 84, 107, 113, 130, 132, 135, 139};
  for (int line = 82; line <= 145; ++line) {
    std::string l = std::to_string(line) + ".25";
    if (pairs.count(line)) l.append(" ").append(std::to_string(line)).append(".5");
    add(l + "   note 7 8 9");
  }
  for (int line = 146; line <= 153; ++line) {
    std::string l;
    for (int j = 1; j <= 4; ++j) l += std::to_string(line * 10 + j) + ".0, ";
    add(l + "  !species trailer");
  }
  add("1 2 3 4 5   NOUT");
  add("7   NSW");
  for (int line = 156; line <= 161; ++line)
    add(std::to_string(line) + ".125 " + std::to_string(line) + ".25 " + std::to_string(line) +
        ".5   note");
  ASSERT_EQ(lines.size(), 161u);
  add("this line is never read");

  scratch_dir dir;
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  dir.write("VELMO67.INP", text);
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  auto r = std::make_unique<calcium::run_state>();
  textio::read_error err;
  const bool ok = calcium::read_parameter_file(velmo67::configuration(), *r, &err);
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(ok) << err.message();
  ASSERT_TRUE(calcium::set_up_after_reading(velmo67::configuration(), *r));

  EXPECT_EQ(std::string(r->RUNNAME, 10), "abcdefghij");
  EXPECT_EQ(r->TPRINT, 0.125);
  EXPECT_EQ(r->DTOUT, 0.25);
  const double tphase[5] = {1.0, 1e16, 1.0, -1e16, 0.5};
  for (int p = 0; p < 5; ++p) EXPECT_EQ(r->TPHASE[p], tphase[p]) << p;
  EXPECT_EQ(r->duration, 1.0);

  // Lines 3..52 fill slots 1..50, lines 53..80 slots 53..80, line 81 slot 81.
  const double* slots = velmo67::ratcon;
  for (int s = 1; s <= 84; ++s) {
    double expected = 0.0;
    if (s <= 50) expected = s + 2 + 0.25;
    if (s >= 53 && s <= 81) expected = s + 0.25;
    EXPECT_EQ(slots[s - 1], expected) << "slot " << s;
  }
  for (int line = 82; line <= 145; ++line) {
    EXPECT_EQ(r->phase_change[line - 82][0], line + 0.25) << line;
    EXPECT_EQ(r->phase_change[line - 82][1], pairs.count(line) ? line + 0.5 : 0.0) << line;
  }

  const int elements[8][4] = {{1, 2, 3, 5},     {6, 7, 8, 9},     {10, 11, 12, 13},
                              {14, 15, 16, 17}, {18, 19, 20, 21}, {22, 23, 24, 25},
                              {26, 27, 28, 29}, {30, 31, 32, 33}};
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(r->Y[elements[i][j] - 1], (146 + i) * 10 + j + 1) << "Y(" << elements[i][j] << ")";
  for (int e : {4, 34, 35}) EXPECT_EQ(r->Y[e - 1], 0.0) << "Y(" << e << ")";

  for (int p = 0; p < 5; ++p) EXPECT_EQ(r->NOUT[p], p + 1);
  EXPECT_EQ(r->nout, 1);
  EXPECT_EQ(r->NSW, 7);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r->OFFSET[i], 156 + i + 0.125) << i;
  // The maximum detector of phase p takes OFFSETp.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r->detector.OFFSET[i], 156 + i + 0.125) << i;
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(r->optics.BAND[b].epsilon, 159 + b + 0.125) << b;
    EXPECT_EQ(r->optics.BAND[b].sigma, 159 + b + 0.25) << b;
    EXPECT_EQ(r->optics.BAND[b].lamda, 159 + b + 0.5) << b;
  }

  // Set-up from the values as read: k68/k67, k13/k12, k11/k10, k9/k8, k51/k50.
  EXPECT_EQ(r->Kd_NCX_M, 70.25 / 69.25);
  EXPECT_EQ(r->Kd_PMCA_M, 15.25 / 14.25);
  EXPECT_EQ(r->Kd_B, 13.25 / 12.25);
  EXPECT_EQ(r->Kd_M, 11.25 / 10.25);
  EXPECT_EQ(r->optics.KDIND, 53.25 / 52.25);
  EXPECT_EQ(r->optics.IND_TOTAL, 1504.0);
  EXPECT_EQ(r->IPHASE, 0);
  EXPECT_EQ(r->NCOUNT, 0);
}

}  // namespace
