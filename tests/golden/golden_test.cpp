// Golden outputs: each case runs one program on its own parameter file and
// compares every file the run leaves behind, its console, standard error
// and exit status with the committed expected files, byte for byte once the
// run stamp and the CPU times are masked. CALCIUM_GOLDEN_UPDATE=1 rewrites
// the expected files from the programs instead (see README.md).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "testing/program_run.h"
#include "tests/golden/golden_compare.h"

namespace golden {
namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::write_file;

struct golden_case {
  std::string name;  // its folder under tests/golden/cases
  std::string program;
  std::string parameter_file;  // the one input file of the folder
};

void PrintTo(const golden_case& c, std::ostream* os) { *os << c.name; }

const std::vector<golden_case>& cases() {
  static const std::vector<golden_case> table = {
      {"velmo67", "velmo67", "VELMO67.INP"},
      {"velmo66", "velmo66", "VELMO66.INP"},
      {"velmo65", "velmo65", "VELMO65.INP"},
      {"velmo65-error-halt", "velmo65", "VELMO65.INP"},
      {"velmo64v6", "velmo64v6", "VELMO64v6.INP"},
      {"nilpora", "nilpora", "NILPORA.INP"},
      {"nilpora-error-halt", "nilpora", "NILPORA.INP"},
  };
  return table;
}

// The expected console, standard error and exit status stand in the case
// folder beside the expected files under these names.
const char* const console_file = "console.out";
const char* const stderr_file = "stderr.out";
const char* const status_file = "status.out";

fs::path case_folder(const golden_case& c) {
  return fs::path(testing_support::source_dir()) / "tests" / "golden" / "cases" / c.name;
}

bool update_requested() {
  const char* u = std::getenv("CALCIUM_GOLDEN_UPDATE");
  return u && std::string(u) == "1";
}

// Everything a run produced, masked, by expected-file name.
std::map<std::string, std::string> run_case(const golden_case& c, const std::string& input) {
  scratch_dir dir;
  dir.write(c.parameter_file, input);
  const run_result r = dir.run(c.program);
  std::map<std::string, std::string> out;
  for (const std::string& name : dir.files()) {
    if (name == c.parameter_file) {
      EXPECT_EQ(dir.read(name), input) << "the run changed its parameter file";
      continue;
    }
    out[name] = mask_run_stamp(dir.read(name));
  }
  out[console_file] = mask_run_stamp(r.out);
  out[stderr_file] = mask_run_stamp(r.err);
  out[status_file] = std::to_string(r.exit_status) + "\n";
  return out;
}

std::map<std::string, std::string> expected_files(const golden_case& c) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(case_folder(c))) {
    const std::string name = e.path().filename().string();
    if (e.is_regular_file() && name != c.parameter_file) files[name] = read_file(e.path());
  }
  return files;
}

void rewrite_expected_files(const golden_case& c,
                            const std::map<std::string, std::string>& produced) {
  for (const auto& [name, text] : expected_files(c))
    if (!produced.count(name)) fs::remove(case_folder(c) / name);
  for (const auto& [name, text] : produced) write_file(case_folder(c) / name, text);
}

std::string names(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& n : v) s += " '" + n + "'";
  return s;
}

class Golden : public testing::TestWithParam<golden_case> {};

TEST_P(Golden, EveryOutputMatchesItsExpectedFile) {
  const golden_case& c = GetParam();
  const std::string input = read_file(case_folder(c) / c.parameter_file);
  ASSERT_FALSE(input.empty()) << "no parameter file in " << case_folder(c);

  const std::map<std::string, std::string> produced = run_case(c, input);
  if (update_requested()) {
    rewrite_expected_files(c, produced);
    GTEST_SKIP() << "expected files of '" << c.name << "' rewritten in " << case_folder(c);
  }

  const std::map<std::string, std::string> expected = expected_files(c);
  std::vector<std::string> missing, unexpected;
  for (const auto& [name, text] : expected)
    if (!produced.count(name)) missing.push_back(name);
  for (const auto& [name, text] : produced)
    if (!expected.count(name)) unexpected.push_back(name);
  EXPECT_TRUE(missing.empty()) << "expected files the run did not write:" << names(missing);
  EXPECT_TRUE(unexpected.empty()) << "files the run wrote that are not expected:"
                                  << names(unexpected);

  for (const auto& [name, text] : expected) {
    const auto p = produced.find(name);
    if (p == produced.end()) continue;
    if (const auto d = first_difference(text, p->second)) ADD_FAILURE() << describe(name, *d);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<golden_case>& i) {
                           std::string n = i.param.name;
                           for (char& ch : n)
                             if (ch == '-') ch = '_';
                           return n;
                         });

}  // namespace
}  // namespace golden
