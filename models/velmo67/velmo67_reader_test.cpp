// velmo67 end to end: a parameter file it cannot use, or a result file it
// cannot create, stops it before it writes anything, with one line on
// standard error and exit status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "models/velmo67/test_run.h"

namespace {

using namespace velmo67_testing;

TEST(Velmo67Reader, BadParameterFilesStopBeforeAnyResultFile) {
  struct bad_file {
    const char* what;
    std::function<std::string()> text;
    const char* message;  // the start of the error line
  };
  const auto with = [](int line, std::string value) {
    return [line, value] {
      input_file in;
      in.set(line, value);
      return in.text();
    };
  };
  const bad_file cases[] = {
      {"short file", [] { return input_file().head(100); }, "VELMO67.INP line 101: PHASECHG(101): "},
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
  for (const bad_file& c : cases) {
    scratch_dir dir;
    dir.write("VELMO67.INP", c.text());
    const run_result r = dir.run("velmo67");
    EXPECT_EQ(r.exit_status, 2) << c.what;
    EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << c.what << ": " << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 1u) << c.what;
    EXPECT_EQ(r.err.back(), '\n') << c.what;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO67.INP"}) << c.what;
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
    // The summary file is the third to be created: the data file and "tmp"
    // exist by then, and stay empty.
    scratch_dir dir;
    dir.write("VELMO67.INP", input_file().text());
    std::filesystem::create_directory(dir / "t67       _summary.txt");
    const run_result r = dir.run("velmo67");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("_summary.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"VELMO67.INP", "t67       .txt", "tmp"}));
    EXPECT_EQ(dir.read("tmp"), "");
    EXPECT_EQ(dir.read("t67       .txt"), "");
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

}  // namespace
