// Runs that cannot write all they produce, and runs that the integrator ends:
// exit status 1 and one line on standard error saying what ended the run,
// which output is incomplete and where the integrator's messages are.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <string>
#include <vector>

#include "integrator/test_message_lines.h"
#include "tests/failures/failure_support.h"

namespace failures {
namespace {

class WriteFailure : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

// Each result file in turn, "tmp" included, on a full device: the run goes
// on to its end, the other files are complete, and the line names the file.
TEST_P(WriteFailure, ResultFileOnAFullDevice) {
  const example_run ex(p());
  for (const std::string& full : ex.files()) {
    SCOPED_TRACE("'" + full + "' on /dev/full");
    scratch_dir dir;
    ex.write_to(dir);
    fs::create_symlink("/dev/full", dir / full);
    const run_result r = run_to_end(dir, p().name);
    EXPECT_EQ(r.exit_status, 1);
    expect_error_line(ex, r,
                      "output could not be written completely: '" + full +
                          "' (No space left on device); the integrator's messages are " +
                          ex.message_place());
    EXPECT_NE(r.out.find("ended at"), std::string::npos) << "the run did not go on to its end";
    for (const std::string& other : ex.files())
      if (other != full) expect_whole_lines(p(), dir, other);
  }
}

// A file size limit (ulimit -f), whether SIGXFSZ was ignored on entry or
// not: every file that reaches it fails and is cut back to its last whole
// line, and the run ends with status 1 instead of dying of the signal.
TEST_P(WriteFailure, FileSizeLimitLeavesWholeLines) {
  const example_run ex(p());
  scratch_dir normal;
  ex.write_to(normal);
  ASSERT_EQ(run_to_end(normal, p().name).exit_status, 0);
  for (const bool ignored : {true, false}) {
    SCOPED_TRACE(ignored ? "SIGXFSZ ignored on entry" : "SIGXFSZ at its default");
    scratch_dir dir;
    ex.write_to(dir);
    run_options limited;
    limited.file_size_limit = 1000;  // below every example's data file
    if (ignored) limited.inherited = {SIGXFSZ};
    const auto old_xfsz = std::signal(SIGXFSZ, SIG_IGN);
    const run_result r = run_to_end(dir, p().name, limited);
    std::signal(SIGXFSZ, old_xfsz);
    EXPECT_EQ(r.exit_status, 1);
    const std::string err = error_after_notice(ex, r.err);
    EXPECT_EQ(err.rfind("output could not be written completely: ", 0), 0u) << r.err;
    EXPECT_NE(err.find("'" + ex.data_file() + "' (File too large)"), std::string::npos) << r.err;
    EXPECT_EQ(split_lines(err).size(), 1u);
    for (const std::string& name : ex.files()) {
      expect_whole_lines(p(), dir, name);
      EXPECT_LE(size_of(dir / name), limited.file_size_limit) << name;
      if (size_of(normal / name) > limited.file_size_limit) {
        EXPECT_NE(err.find("'" + name + "' (File too large)"), std::string::npos) << r.err;
      }
    }
    const std::vector<std::string> rows = split_lines(dir.read(ex.data_file()));
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) ASSERT_EQ(row.size(), rows.front().size()) << "a cut row";
  }
}

// The console on a full device, or closed: the result files are those of a
// normal run (none of them took the console's place), and the line says so.
TEST_P(WriteFailure, ConsoleFullOrClosed) {
  const example_run ex(p());
  scratch_dir normal;
  ex.write_to(normal);
  ASSERT_EQ(run_to_end(normal, p().name).exit_status, 0);

  const struct {
    console_to console;
    std::string reason;
  } cases[] = {{console_to::full_device, "No space left on device"},
               {console_to::closed, "Bad file descriptor"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    ex.write_to(dir);
    run_options options;
    options.console = c.console;
    const run_result r = run_to_end(dir, p().name, options);
    EXPECT_EQ(r.exit_status, 1);
    expect_error_line(ex, r,
                      "output could not be written completely: standard output (" + c.reason +
                          "); the integrator's messages are " + ex.message_place());
    EXPECT_EQ(dir.read(ex.data_file()), normal.read(ex.data_file()));
    EXPECT_EQ(dir.files(), normal.files());
  }
}

// ERROR HALT and the integrator's own stop (an output interval of 0 runs
// into its repeated-call rule) each name what ended the run, and the
// integrator's messages are where the line says.
TEST_P(WriteFailure, IntegratorStopsSayWhereItsMessagesAre) {
  struct stop_case {
    std::string what;
    void (*edit)(example_run&);
    std::string line;  // a pattern, before "; the integrator's messages are ..."
  };
  const stop_case cases[] = {
      {"ERROR HALT", [](example_run& e) { e.make_integrator_fail(); },
       R"(the run stopped at ERROR HALT\.\. ISTATE = -[1-6])"},
      {"fatal message", [](example_run& e) { e.set_output_interval("0.0"); },
       integrator::testing::stopped_run_pattern(integrator::messages::run_aborted)},
  };
  for (const stop_case& c : cases) {
    SCOPED_TRACE(c.what);
    example_run ex(p());
    c.edit(ex);
    scratch_dir dir;
    ex.write_to(dir);
    const run_result r = run_to_end(dir, p().name);
    EXPECT_EQ(r.exit_status, 1);
    std::string place = ex.message_place();
    place = std::regex_replace(place, std::regex(R"([.()])"), R"(\$&)");
    EXPECT_TRUE(std::regex_match(error_after_notice(ex, r.err),
                                 std::regex(c.line + "; the integrator's messages are " + place +
                                            p().line_end)))
        << r.err;
    const std::string messages =
        messages_suffix(p()).empty() ? r.out : dir.read(ex.file("_ER.txt"));
    EXPECT_NE(messages.find(" INTEG--  "), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, WriteFailure, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
