// Run names that make odd file names: all blanks, a directory part, a
// directory that does not exist, and a result file that cannot be created.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/bad_input/bad_input_support.h"

namespace bad_input {
namespace {

using testing_support::sorted;

namespace fs = std::filesystem;

std::vector<std::string> files_in(const fs::path& dir) {
  return testing_support::directory_entries(dir);
}

// One short line on standard error that names `file` and says why, after
// the notice of a cut run name when the run writes one.
void expect_open_failure(const run_result& r, const std::string& file,
                         const std::string& notice = "") {
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_EQ(r.out, "");
  ASSERT_EQ(r.err.substr(0, notice.size()), notice);
  const std::string err = r.err.substr(notice.size());
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err.back(), '\n');
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "more than one line: " << r.err;
  const std::size_t at = err.find(file);
  ASSERT_NE(at, std::string::npos) << "'" << file << "' not named in: " << r.err;
  EXPECT_GT(err.size(), at + file.size() + 4) << "no reason given: " << r.err;
}

class RunNames : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }

  // The example with `quoted` as its run name.
  std::string example_named(const std::string& quoted) const {
    parameter_text t(p());
    t.set_value(1, 0, quoted);
    return t.text();
  }
  std::string padded(const std::string& name) const {
    std::string s = name;
    s.resize(static_cast<std::size_t>(p().runname_length), ' ');
    return s;
  }
};

// An all-blank run name leaves the bare suffixes: ".txt", "_summary.txt", ...
TEST_P(RunNames, BlankRunNameGivesTheBareSuffixes) {
  for (const std::string& quoted :
       {std::string("'").append(padded("")).append("'"), std::string("''")}) {
    SCOPED_TRACE("run name " + quoted);
    scratch_dir dir;
    dir.write(p().parameter_file, example_named(quoted));
    const run_result r = dir.run(p().name);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> expected = result_files(p(), padded(""));
    EXPECT_EQ(expected.front(), ".txt");
    expected.push_back(p().parameter_file);
    EXPECT_EQ(dir.files(), sorted(expected));
  }
}

// A run name "sub/x" puts the result files into sub (with the padding blanks
// before the suffix); "tmp" stays in the working directory.
TEST_P(RunNames, RunNameWithADirectoryWritesThere) {
  scratch_dir dir;
  fs::create_directory(dir / "sub");
  dir.write(p().parameter_file, example_named("'sub/x'"));
  const run_result r = dir.run(p().name);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.files(), sorted({p().parameter_file, "tmp"}));
  std::vector<std::string> in_sub;
  for (const std::string& s : p().suffixes) {
    const std::string name = trimmed(padded("sub/x") + s);
    ASSERT_EQ(name.rfind("sub/", 0), 0u);
    in_sub.push_back(name.substr(4));
  }
  EXPECT_EQ(files_in(dir / "sub"), sorted(in_sub));
}

TEST_P(RunNames, MissingDirectoryStopsBeforeAnyFileIsWritten) {
  scratch_dir dir;
  const std::string text = example_named("'sub/x'");
  dir.write(p().parameter_file, text);
  sentinels kept(dir, {"tmp"});
  const run_result r = dir.run(p().name);
  expect_open_failure(r, "sub/x");
  kept.expect_untouched({p().parameter_file});
  EXPECT_EQ(dir.read(p().parameter_file), text);
}

// One result file cannot be created (a directory has its name): the run
// stops naming it, and the results of the earlier run, "tmp" among them,
// stay as they were, whichever file of the group it is.
TEST_P(RunNames, UncreatableResultFileLeavesEarlierResultsAlone) {
  const parameter_text example(p());
  const std::vector<std::string> names = result_files(p(), example.padded_run_name(p()));
  for (const std::string& blocked : names) {
    SCOPED_TRACE("blocked: '" + blocked + "'");
    scratch_dir dir;
    dir.write(p().parameter_file, example.text());
    fs::create_directory(dir / blocked);
    std::vector<std::string> others;
    for (const std::string& n : names)
      if (n != blocked) others.push_back(n);
    sentinels kept(dir, others);
    const run_result r = dir.run(p().name);
    expect_open_failure(r, blocked, example.run_name_notice(p()));
    kept.expect_untouched({p().parameter_file});
    EXPECT_TRUE(fs::is_directory(dir / blocked));
  }
}

// A run name longer than the field is cut as always, and one line on
// standard error says what it became, so that two long names that share a
// start do not silently overwrite each other's files. Blanks beyond the
// field are no loss and give no line. The run and its files are as with the
// cut name given directly.
TEST_P(RunNames, LongRunNameIsCutWithANotice) {
  const std::size_t n = static_cast<std::size_t>(p().runname_length);
  const std::string name = std::string("experiment_control_treated").substr(0, n);
  struct long_name {
    std::string quoted;  // as line 1 gives it
    std::string shown;   // the whole name in the notice; empty: no notice
    std::string cut;     // the name the files take
    std::string dir;     // the directory the files are in ("": the run's)
  };
  const std::vector<long_name> cases = {
      {"experiment_control_treated", "experiment_control_treated", name, ""},
      {name + "x", name + "x", name, ""},
      {"'" + name + " 2'", name + " 2", name, ""},
      {"'sub/" + name + "'", "sub/" + name, "sub/" + name.substr(0, n - 4), "sub"},
      {name, "", name, ""},
      {"'" + name + "    '", "", name, ""},
  };
  scratch_dir reference;
  reference.write(p().parameter_file, example_named(name));
  ASSERT_EQ(reference.run(p().name).exit_status, 0);
  const std::string data_rows = reference.read(trimmed(padded(name) + p().suffixes.front()));
  ASSERT_FALSE(data_rows.empty());

  for (const long_name& c : cases) {
    SCOPED_TRACE("run name " + c.quoted);
    scratch_dir dir;
    if (!c.dir.empty()) fs::create_directory(dir / c.dir);
    dir.write(p().parameter_file, example_named(c.quoted));
    const run_result r = dir.run(p().name);
    EXPECT_EQ(r.exit_status, 0);
    if (c.shown.empty()) {
      EXPECT_EQ(r.err, "");
    } else {
      const error_line e = parse_error_line(r.err);
      ASSERT_TRUE(e.well_formed) << "standard error: '" << r.err << "'";
      EXPECT_EQ(r.err.substr(r.err.size() - p().line_end.size()), p().line_end);
      EXPECT_EQ(e.file, p().parameter_file);
      EXPECT_EQ(e.line, 1);
      EXPECT_EQ(e.what, "the run name '" + c.shown + "' is longer than " + std::to_string(n) +
                            " characters; it is cut to '" + c.cut +
                            "', and the result files are named after it");
    }
    std::vector<std::string> expected = result_files(p(), padded(c.cut));
    if (!c.dir.empty()) {
      std::vector<std::string> in_dir;
      for (const std::string& f : expected)
        if (f != "tmp") in_dir.push_back(f.substr(c.dir.size() + 1));
      EXPECT_EQ(files_in(dir / c.dir), sorted(in_dir));
      expected = {"tmp"};
    }
    expected.push_back(p().parameter_file);
    EXPECT_EQ(dir.files(), sorted(expected));
    EXPECT_EQ(dir.read(trimmed(padded(c.cut) + p().suffixes.front())), data_rows);
  }
}

// The tests derive the run names and notices they expect through the
// programs' rule (testing/run_name_rule.h): it must be what the program
// itself does, on cut, quoted and padded names alike.
TEST_P(RunNames, TheTestsRunNameRuleIsTheProgramsOwn) {
  const std::string n(static_cast<std::size_t>(p().runname_length), 'n');
  for (const std::string& quoted : {n + "-more", "'" + n + " two'", std::string("ab"), n}) {
    SCOPED_TRACE("run name " + quoted);
    parameter_text t(p());
    t.set_value(1, 0, quoted);
    const testing_support::taken_run_name taken = t.run_name(p());
    scratch_dir dir;
    dir.write(p().parameter_file, t.text());
    const run_result r = dir.run(p().name);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, taken.notice);
    EXPECT_EQ(taken.padded.size(), n.size());
    std::vector<std::string> expected = result_files(p(), taken.padded);
    expected.push_back(p().parameter_file);
    EXPECT_EQ(dir.files(), sorted(expected));
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, RunNames, testing::ValuesIn(programs()),
                         [](const testing::TestParamInfo<program_info>& i) {
                           return i.param.name;
                         });

}  // namespace
}  // namespace bad_input
