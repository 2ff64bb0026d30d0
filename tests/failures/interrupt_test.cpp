// SIGINT, SIGTERM and SIGHUP during a run: what the run produced is written
// out in whole lines, every file is closed, and the status is 128 + the
// signal. Each signal is sent once the first rows are on disk, never after
// a pause.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "tests/failures/failure_support.h"

namespace failures {
namespace {

class Interrupt : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
  bool phased() const { return p().phases > 0; }
};

std::vector<std::string> lines_without_ends(const program_info& p, const std::string& text) {
  std::vector<std::string> lines = split_lines(text);
  if (p.line_end == "\r\n")
    for (std::string& l : lines)
      if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

std::size_t index_of(const std::vector<std::string>& lines, const std::string& start) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(start, 0) == 0) return i;
  return lines.size();
}

// The report of the first phase (with no phases: the initial report) as a
// run that ends there writes it, without what ends the run.
std::vector<std::string> first_report(bool phased, const std::vector<std::string>& lines) {
  const std::size_t from = index_of(lines, phased ? " Phase   1" : "  Initial concentrations:");
  std::size_t to = index_of(lines, phased ? " Execution" : "  Final concentrations:");
  if (phased && to > from) --to;  // the end of the run's blank record
  if (from >= to) return {};
  return {lines.begin() + static_cast<long>(from), lines.begin() + static_cast<long>(to)};
}

// The lines from the first report on, where an interrupted run has them.
std::vector<std::string> from_first_report(bool phased, const std::vector<std::string>& lines,
                                           std::size_t count) {
  const std::size_t from = index_of(lines, phased ? " Phase   1" : "  Initial concentrations:");
  if (from >= lines.size()) return {};
  const std::size_t to = std::min(lines.size(), from + count);
  return {lines.begin() + static_cast<long>(from), lines.begin() + static_cast<long>(to)};
}

TEST_P(Interrupt, SignalInALaterPhaseKeepsWhatWasComputed) {
  example_run short_run(p());
  short_run.make_phase_one_only();
  scratch_dir reference;
  short_run.write_to(reference);
  const run_result ended = run_to_end(reference, p().name);
  ASSERT_EQ(ended.exit_status, 0);
  const std::vector<std::string> summary_report =
      first_report(phased(), lines_without_ends(p(), reference.read(short_run.summary_file())));
  const std::vector<std::string> console_report =
      first_report(phased(), lines_without_ends(p(), ended.out));

  example_run ex(p());
  ex.make_endless();
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE("signal " + std::to_string(sig));
    scratch_dir dir;
    ex.write_to(dir);
    background_run run(dir, p().name);
    ASSERT_TRUE(wait_for_content(run, dir / ex.data_file()));
    ASSERT_EQ(::kill(run.pid(), sig), 0);
    const run_result r = run.wait();
    EXPECT_EQ(r.exit_status, 128 + sig);
    EXPECT_EQ(r.err, ex.notice());

    for (const std::string& name : ex.files()) expect_whole_lines(p(), dir, name);
    const std::vector<std::string> rows = lines_without_ends(p(), dir.read(ex.data_file()));
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) ASSERT_EQ(row.size(), rows.front().size()) << "a cut row";
    if (dir.exists(ex.file("_spec.txt"))) {
      EXPECT_EQ(dir.read(ex.file("_spec.txt")), reference.read(short_run.file("_spec.txt")));
    }

    // The first phase's report, and (with phases) the next phase under way.
    std::vector<std::string> expected_summary = summary_report;
    std::vector<std::string> expected_console = console_report;
    ASSERT_FALSE(expected_summary.empty());
    if (phased()) {
      expected_summary.push_back(" Phase   2");
      expected_console.push_back(" Phase   2");
    }
    const std::vector<std::string> summary = lines_without_ends(p(), dir.read(ex.summary_file()));
    const std::vector<std::string> console = lines_without_ends(p(), r.out);
    EXPECT_EQ(from_first_report(phased(), summary, expected_summary.size()), expected_summary);
    EXPECT_EQ(from_first_report(phased(), console, expected_console.size()), expected_console);
  }
}

// A signal while the parameter file is still being read: the run ends with
// nothing created. The parameter file is a pipe the test writes only after
// the signal, so the program is surely past its start.
TEST_P(Interrupt, SignalBeforeAnyFileExists) {
  const example_run ex(p());
  scratch_dir dir;
  ASSERT_EQ(::mkfifo((dir / p().parameter_file).c_str(), 0644), 0);
  background_run run(dir, p().name);
  int fd;  // opens once the program has opened its end
  while ((fd = ::open((dir / p().parameter_file).c_str(), O_WRONLY | O_NONBLOCK)) < 0)
    ASSERT_TRUE(errno == ENXIO && run.running());
  ::fcntl(fd, F_SETFL, 0);
  ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
  const std::string text = ex.text.text();
  const auto old_pipe = std::signal(SIGPIPE, SIG_IGN);  // the program may be gone already
  (void)!::write(fd, text.data(), text.size());
  ::close(fd);
  std::signal(SIGPIPE, old_pipe);
  const run_result r = run.wait();
  EXPECT_EQ(r.exit_status, 128 + SIGTERM);
  EXPECT_EQ(r.out, "");
  // A read that began before the signal came may still take the whole file:
  // then only the notice of a cut run name is written.
  EXPECT_TRUE(r.err.empty() || r.err == ex.notice()) << r.err;
  EXPECT_EQ(testing_support::directory_entries(dir.path()),
            std::vector<std::string>{p().parameter_file});
}

// A hang-up ignored on entry (nohup) stays ignored.
TEST_P(Interrupt, IgnoredHangUpStaysIgnored) {
  example_run ex(p());
  ex.make_endless();
  scratch_dir dir;
  ex.write_to(dir);
  const auto old_hup = std::signal(SIGHUP, SIG_IGN);
  run_options keep_hangup;
  keep_hangup.inherited = {SIGHUP};
  background_run run(dir, p().name, keep_hangup);
  std::signal(SIGHUP, old_hup);
  ASSERT_TRUE(wait_for_content(run, dir / ex.data_file()));
  ASSERT_EQ(::kill(run.pid(), SIGHUP), 0);
  const auto size = size_of(dir / ex.data_file());
  // Still running, and writing: the data file grows by a buffer.
  while (size_of(dir / ex.data_file()) == size) ASSERT_TRUE(run.running());
  ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
  EXPECT_EQ(run.wait().exit_status, 128 + SIGTERM);
}

INSTANTIATE_TEST_SUITE_P(Programs, Interrupt, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
