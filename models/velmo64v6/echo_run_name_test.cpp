// The echo file's run name reads back as the same name: a run from the echo
// file writes the same result files with the same values. A name whose
// unquoted text reads back keeps today's echo line; any other is quoted.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "models/velmo64v6/test_run.h"

namespace velmo64v6_test {
namespace {

namespace fs = std::filesystem;

struct named_run {
  std::string line1;   // the run name as line 1 of VELMO64v6.INP gives it
  std::string name;    // the run name it stands for
  std::string quoted;  // the name as the echo writes it; empty: today's 12 characters
  std::string dir;     // the directory the name puts the files in ("": the run's)
};

const named_run runs[] = {
    {"PLAIN", "PLAIN", "", ""},
    {"ECHO12CHARSX", "ECHO12CHARSX", "", ""},
    {"it's", "it's", "", ""},
    {"a''b", "a''b", "", ""},
    {"*x", "*x", "", ""},
    {"'trail   '", "trail", "", ""},
    {"'my run'", "my run", "'my run'      ", ""},
    {"'a b c d e f '", "a b c d e f", "'a b c d e f' ", ""},
    {"'a,b'", "a,b", "'a,b'         ", ""},
    {"'sub/x'", "sub/x", "'sub/x'       ", "sub"},
    {"'it''s a run'", "it's a run", "'it''s a run'  ", ""},
    {"'''lead'", "'lead", "'''lead'       ", ""},
    {"'\"dq\"'", "\"dq\"", "'\"dq\"'        ", ""},
    {"'  lead'", "  lead", "'  lead'      ", ""},
    {"'3*x'", "3*x", "'3*x'         ", ""},
    {"''", "", "''            ", ""},
};

// The name a file of this run name takes, leading blanks dropped.
std::string result_name(const std::string& name, const std::string& suffix) {
  const std::string f = file_of(name, suffix);
  return f.substr(f.find_first_not_of(' '));
}

// Every regular file under `dir`, with its path from `dir`.
std::vector<std::string> all_files(const scratch_dir& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir.path()))
    if (e.is_regular_file()) names.push_back(fs::relative(e.path(), dir.path()).string());
  std::sort(names.begin(), names.end());
  return names;
}

// Echo line 1 without its run stamp " (dd-Mon-yy, hh:mm:ss)".
std::string without_stamp(const std::string& line) {
  return line.size() < 22 ? line : line.substr(0, line.size() - 22);
}

TEST(Velmo64v6EchoFile, RunNameReadsBack) {
  for (const named_run& c : runs) {
    SCOPED_TRACE("run name " + c.line1);
    input_file in = oscillator_base();
    in.set(1, c.line1 + "  the run name");
    in.times(0.0, 0.5, {0.0, 0.0, 0.0, 0.0, 0.0});  // one output step
    scratch_dir first;
    if (!c.dir.empty()) fs::create_directory(first / c.dir);
    const run_result r1 = run_with(first, in);
    ASSERT_EQ(r1.exit_status, 0) << r1.err;
    const std::string echo1 = first.read(result_name(c.name, ".INP"));
    ASSERT_FALSE(echo1.empty());
    const std::vector<std::string> a = split_lines(echo1);
    EXPECT_EQ(without_stamp(a[0]), "   " + (c.quoted.empty() ? file_of(c.name, "") : c.quoted));

    scratch_dir second;
    if (!c.dir.empty()) fs::create_directory(second / c.dir);
    second.write("VELMO64v6.INP", echo1);
    const run_result r2 = second.run("velmo64v6");
    ASSERT_EQ(r2.exit_status, 0) << r2.err;
    EXPECT_EQ(r2.err, "");
    EXPECT_EQ(all_files(second), all_files(first));
    const std::vector<std::string> b = split_lines(second.read(result_name(c.name, ".INP")));
    ASSERT_EQ(b.size(), a.size());
    EXPECT_EQ(without_stamp(b[0]), without_stamp(a[0]));
    for (std::size_t i = 1; i < a.size(); ++i) EXPECT_EQ(b[i], a[i]) << "echo line " << i + 1;
    EXPECT_EQ(second.read(result_name(c.name, ".txt")), first.read(result_name(c.name, ".txt")));
  }
}

}  // namespace
}  // namespace velmo64v6_test
