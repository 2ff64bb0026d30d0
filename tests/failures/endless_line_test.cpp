// A parameter-file line that never ends: /dev/zero, or a huge file without
// a line feed. The reader stops at the line's bound with one line naming the
// file and the line, exit status 2, instead of reading until memory runs out.
#include <gtest/gtest.h>

#include <string>

#include "tests/failures/failure_support.h"

namespace failures {
namespace {

class EndlessLine : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

constexpr const char* too_long = "the line is longer than 1048576 characters";

TEST_P(EndlessLine, ParameterFileThatIsDevZero) {
  scratch_dir dir;
  fs::create_symlink("/dev/zero", dir / p().parameter_file);
  const run_result r = run_to_end(dir, p().name);
  bad_input::expect_reader_stop(p(), r, 1);
  EXPECT_EQ(bad_input::parse_error_line(r.err).what, too_long);
}

// The example up to a value line, then 2 MiB without a line feed.
TEST_P(EndlessLine, HugeLastLineWithoutLineFeed) {
  const example_run ex(p());
  scratch_dir dir;
  const int v = p().value_line;
  dir.write(p().parameter_file, ex.text.head(v - 1) + "1.0 " + std::string(2u << 20, 'x'));
  const run_result r = run_to_end(dir, p().name);
  bad_input::expect_reader_stop(p(), r, v);
  EXPECT_EQ(bad_input::parse_error_line(r.err).what, too_long);
}

INSTANTIATE_TEST_SUITE_P(Programs, EndlessLine, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
