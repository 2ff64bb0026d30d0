// Every program runs its example end to end: exit status 0, nothing on
// standard error, and exactly its result files, each complete down to its
// last line end. The sanitizer build runs these too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/bad_input/bad_input_support.h"

namespace bad_input {
namespace {

class Example : public testing::TestWithParam<program_info> {};

TEST_P(Example, RunsCleanlyAndWritesItsResultFiles) {
  const program_info& p = GetParam();
  const parameter_text example(p);
  scratch_dir dir;
  dir.write(p.parameter_file, example.text());
  const run_result r = dir.run(p.name);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, example.run_name_notice(p));
  EXPECT_FALSE(r.out.empty());

  std::vector<std::string> expected = result_files(p, example.padded_run_name(p));
  for (const std::string& name : expected) {
    SCOPED_TRACE("'" + name + "'");
    const std::string text = dir.read(name);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - p.line_end.size()), p.line_end);
    const std::size_t bare_lf = p.line_end == "\n" ? text.find('\r') : text.find('\n');
    if (p.line_end == "\n") {
      EXPECT_EQ(bare_lf, std::string::npos) << "a carriage return";
    } else {
      for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a line feed without CR at byte " << at;
    }
  }
  expected.push_back(p.parameter_file);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.files(), expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, Example, testing::ValuesIn(programs()),
                         [](const testing::TestParamInfo<program_info>& i) {
                           return i.param.name;
                         });

}  // namespace
}  // namespace bad_input
