// A parameter file saved with a UTF-8 byte-order mark (EF BB BF, as some
// editors write it) runs as the same file without it: the same file names,
// the same result files, console and status, the run stamps aside.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/failures/failure_support.h"
#include "tests/failures/masked_outputs.h"

namespace failures {
namespace {

class ByteOrderMark : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

// Every file in `dir` but the parameter file, and the console, standard
// error and exit status, the run stamps masked.
std::map<std::string, std::string> outputs(const scratch_dir& dir, const program_info& p,
                                           const std::string& parameter_text) {
  dir.write(p.parameter_file, parameter_text);
  const run_result r = run_to_end(dir, p.name);
  std::map<std::string, std::string> out;
  for (const std::string& name : dir.files())
    if (name != p.parameter_file) out["file " + name] = golden::mask_run_stamp(dir.read(name));
  out["console"] = golden::mask_run_stamp(r.out);
  out["standard error"] = r.err;
  out["exit status"] = std::to_string(r.exit_status);
  return out;
}

std::string with_crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST_P(ByteOrderMark, RunsAsTheFileWithoutIt) {
  example_run quoted(p());
  quoted.set_run_name("'q r'");
  const std::string example = example_run(p()).text.text();
  const struct {
    std::string what, text;
  } cases[] = {
      {"the example", example},
      {"the example with CR LF", with_crlf(example)},
      {"a quoted run name", quoted.text.text()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    scratch_dir plain, marked;
    const auto expected = outputs(plain, p(), c.text);
    ASSERT_EQ(expected.at("exit status"), "0");
    expect_same_outputs(expected, outputs(marked, p(), "\xEF\xBB\xBF" + c.text));
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ByteOrderMark, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
