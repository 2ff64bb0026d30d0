// Result files that must not be written: one that is the parameter file
// under another name, two names for one file, and a group that fails after
// a dangling link's target was made. Each stops the run with exit status 2
// and one line, and nothing on disk has changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/failures/failure_support.h"

namespace failures {
namespace {

using testing_support::sorted;

class FileIdentity : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

std::vector<std::string> entries(const scratch_dir& dir) {
  return testing_support::directory_entries(dir.path());
}

struct identity_case {
  std::string what;
  // Lays out the directory; returns the line the run must stop with.
  std::function<std::string(const scratch_dir&, const example_run&)> set_up;
};

std::string overwrite_line(const std::string& file, const std::string& parameter_file) {
  return "cannot write the file '" + file + "': it would overwrite the parameter file '" +
         parameter_file + "'";
}

std::vector<identity_case> identity_cases() {
  return {
      {"the data file a link to the parameter file",
       [](const scratch_dir& dir, const example_run& ex) {
         ex.write_to(dir);
         fs::create_symlink(ex.p.parameter_file, dir / ex.data_file());
         return overwrite_line(ex.data_file(), ex.p.parameter_file);
       }},
      {"\"tmp\" a hard link to the parameter file",
       [](const scratch_dir& dir, const example_run& ex) {
         ex.write_to(dir);
         fs::create_hard_link(dir / ex.p.parameter_file, dir / "tmp");
         return overwrite_line("tmp", ex.p.parameter_file);
       }},
      {"the parameter file a link to a result file's name",
       [](const scratch_dir& dir, const example_run& ex) {
         const std::vector<std::string> files = ex.files();
         const std::string last = files[files.size() - 2];  // the last before "tmp"
         dir.write(last, ex.text.text());
         fs::create_symlink(last, dir / ex.p.parameter_file);
         return overwrite_line(last, ex.p.parameter_file);
       }},
      {"\"tmp\" a hard link to the data file",
       [](const scratch_dir& dir, const example_run& ex) {
         ex.write_to(dir);
         dir.write(ex.data_file(), "earlier rows\n");
         fs::create_hard_link(dir / ex.data_file(), dir / "tmp");
         return "cannot write the file 'tmp': it is the same file as '" + ex.data_file() + "'";
       }},
  };
}

TEST_P(FileIdentity, ResultFileThatIsAnotherFileStopsTheRun) {
  for (const identity_case& c : identity_cases()) {
    SCOPED_TRACE(c.what);
    const example_run ex(p());
    scratch_dir dir;
    const std::string line = c.set_up(dir, ex);
    std::map<std::string, std::string> before;
    // A dangling link reads as "" before and after.
    for (const std::string& name : entries(dir)) before[name] = dir.read_if_present(name);
    const run_result r = run_to_end(dir, p().name);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.out, "");
    expect_error_line(ex, r, line);
    std::map<std::string, std::string> after;
    for (const std::string& name : entries(dir)) after[name] = dir.read_if_present(name);
    EXPECT_EQ(after, before);
  }
}

// velmo64v6's echo file, run name + ".INP", is where the danger lies: a run
// name that names the parameter file, and a parameter file that is a link to
// the echo file's name.
TEST(EchoFile, NeverReplacesTheParameterFile) {
  const program_info& p = bad_input::programs().at(3);
  ASSERT_EQ(p.name, "velmo64v6");
  {
    example_run ex(p);
    ex.set_run_name("' ./VELMO64v6'");
    scratch_dir dir;
    ex.write_to(dir);
    const run_result r = run_to_end(dir, p.name);
    EXPECT_EQ(r.exit_status, 2);
    expect_error_line(ex, r, overwrite_line("./VELMO64v6.INP", "VELMO64v6.INP"));
    EXPECT_EQ(dir.read("VELMO64v6.INP"), ex.text.text());
    EXPECT_EQ(entries(dir), std::vector<std::string>{"VELMO64v6.INP"});
  }
  {
    const example_run ex(p);
    const std::string echo = ex.file(".INP");
    scratch_dir dir;
    dir.write(echo, ex.text.text());
    fs::create_symlink(echo, dir / "VELMO64v6.INP");
    const run_result r = run_to_end(dir, p.name);
    EXPECT_EQ(r.exit_status, 2);
    expect_error_line(ex, r, overwrite_line(echo, "VELMO64v6.INP"));
    EXPECT_EQ(dir.read(echo), ex.text.text());
    EXPECT_EQ(entries(dir), sorted({"VELMO64v6.INP", echo}));
  }
}

// The data file (the first of every group) a link to a file that does not
// exist yet, and a later file of the group blocked by a directory: the
// link's target is not left behind.
TEST_P(FileIdentity, FailedGroupTakesBackALinksTarget) {
  const example_run ex(p());
  for (const std::string& blocked : ex.files()) {
    if (blocked == ex.data_file()) continue;
    SCOPED_TRACE("blocked: '" + blocked + "'");
    scratch_dir dir;
    ex.write_to(dir);
    fs::create_symlink("target.txt", dir / ex.data_file());
    fs::create_directory(dir / blocked);
    const run_result r = run_to_end(dir, p().name);
    EXPECT_EQ(r.exit_status, 2);
    expect_error_line(ex, r, "cannot create the file '" + blocked + "' (Is a directory)");
    EXPECT_FALSE(fs::exists(dir / "target.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / ex.data_file()));
    EXPECT_EQ(entries(dir), sorted({p().parameter_file, ex.data_file(), blocked}));
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, FileIdentity, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
