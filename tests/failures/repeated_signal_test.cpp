// A stop signal while a run waits in a write that nobody reads (a console
// pipe, a FIFO as a result file): the first lets the write go on, so that the
// run writes out what it has; one more ends every write at once, with status
// 128 + that signal, each file in its last whole line. The test never reads
// what it holds, except one page where a case asks for a write that has
// written part of its text when the signal comes. It acts only once the
// program waits in that write (/proc/<pid>/syscall) with the signal taken;
// a guard fails a case that would hang.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/failures/failure_support.h"
#include "tests/failures/masked_outputs.h"

namespace failures {
namespace {

// True when `pid` waits in write(2) on a descriptor that is the file `target`.
bool waits_writing(pid_t pid, const struct stat& target) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  std::string fd_arg;
  if (!(in >> number >> fd_arg) || number != SYS_write) return false;
  const long fd = std::strtol(fd_arg.c_str(), nullptr, 16);
  struct stat st;
  const std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
  return ::stat(link.c_str(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino;
}

// True while `sig` is sent to `pid` but not yet taken by it.
bool signal_pending(pid_t pid, int sig) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("SigPnd:", 0) != 0 && line.rfind("ShdPnd:", 0) != 0) continue;
    const unsigned long long mask = std::strtoull(line.c_str() + 7, nullptr, 16);
    if (mask >> (sig - 1) & 1) return true;
  }
  return false;
}

std::size_t bytes_in(int fd) {
  int n = 0;
  return ::ioctl(fd, FIONREAD, &n) == 0 ? static_cast<std::size_t>(n) : 0;
}

// Both ends of a pipe (or FIFO) that holds one page, filled up, so that the
// program's first write to it waits.
struct full_pipe {
  int read_end = -1, write_end = -1;
  std::size_t size = 0;  // what it holds
  struct stat id = {};
  bool made() const { return read_end >= 0 && write_end >= 0; }
  ~full_pipe() {
    if (read_end >= 0) ::close(read_end);
    if (write_end >= 0) ::close(write_end);
  }
  void fill() {
    ::fcntl(write_end, F_SETPIPE_SZ, static_cast<int>(::sysconf(_SC_PAGESIZE)));
    size = static_cast<std::size_t>(::fcntl(write_end, F_GETPIPE_SZ));
    const std::string bytes(size, 'x');
    (void)!::write(write_end, bytes.data(), bytes.size());
    ::fstat(read_end, &id);
  }
};

void make_pipe(full_pipe& p) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  p.read_end = fds[0];
  p.write_end = fds[1];
  p.fill();
}

void make_fifo(full_pipe& p, const fs::path& path) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  p.read_end = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  p.write_end = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_TRUE(p.made());
  p.fill();
}

// Sends `sig` and waits until the program took it and waits again in a
// write to `p`. With `part_written`, the test then reads what the pipe
// holds: the waiting write goes on, fills it and waits with part of its text
// written.
void signal_while_waiting(background_run& run, const full_pipe& p, int sig, bool part_written) {
  ASSERT_EQ(::kill(run.pid(), sig), 0);
  ASSERT_TRUE(
      wait_until(run,
                 [&] { return !signal_pending(run.pid(), sig) && waits_writing(run.pid(), p.id); }))
      << "the run did not go on writing after signal " << sig;
  if (!part_written) return;
  std::string bytes(p.size, ' ');
  ASSERT_EQ(::read(p.read_end, bytes.data(), p.size), static_cast<ssize_t>(p.size));
  ASSERT_TRUE(wait_until(run, [&] {
    return bytes_in(p.read_end) == p.size && waits_writing(run.pid(), p.id);
  })) << "the run did not fill the pipe again";
}

// What the cases vary: where the run waits, and the two signals.
enum class waits { at_the_end, after_a_stop };
struct signal_case {
  std::string what;
  waits where;
  int first, second;
  bool part_written;  // the second signal comes after part of a write
};

class RepeatedSignal : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

// The console is a pipe nobody reads. At the end of a run the program waits
// in its last console write: the first signal lets it go on, the second ends
// it, and the result files are those of a normal run. After a stop asked for
// while the run computes, it waits there too: the second signal ends it.
TEST_P(RepeatedSignal, ConsoleNobodyReads) {
  const example_run ex(p());
  scratch_dir reference;
  ex.write_to(reference);
  const run_result normal = run_to_end(reference, p().name);
  ASSERT_EQ(normal.exit_status, 0);
  // Only a write longer than the pipe holds can be caught half done.
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const bool long_console = normal.out.size() > 2 * page;

  const signal_case cases[] = {
      {"at the end, SIGTERM twice", waits::at_the_end, SIGTERM, SIGTERM, false},
      {"at the end, SIGHUP twice, part written", waits::at_the_end, SIGHUP, SIGHUP, long_console},
      {"after SIGTERM, SIGTERM", waits::after_a_stop, SIGTERM, SIGTERM, false},
      {"after SIGHUP, SIGINT", waits::after_a_stop, SIGHUP, SIGINT, false},
  };
  for (const signal_case& c : cases) {
    SCOPED_TRACE(c.what);
    example_run run_ex(p());
    if (c.where == waits::after_a_stop) run_ex.make_endless();
    scratch_dir dir;
    run_ex.write_to(dir);
    full_pipe console;
    ASSERT_NO_FATAL_FAILURE(make_pipe(console));
    run_options o;
    o.console = console_to::descriptor;
    o.console_fd = console.write_end;
    background_run run(dir, p().name, o);
    ::close(console.write_end);
    console.write_end = -1;

    if (c.where == waits::at_the_end) {
      ASSERT_TRUE(wait_until(run, [&] { return waits_writing(run.pid(), console.id); }));
    } else {
      ASSERT_TRUE(wait_for_content(run, dir / run_ex.data_file()));
    }
    ASSERT_NO_FATAL_FAILURE(signal_while_waiting(run, console, c.first, c.part_written));
    ASSERT_EQ(::kill(run.pid(), c.second), 0);
    EXPECT_EQ(wait_guarded(run).exit_status, 128 + c.second);
    const run_result r = run.wait();
    expect_error_line(run_ex, r,
                      "output could not be written completely: standard output (Interrupted "
                      "system call); the integrator's messages are " +
                          ex.message_place());

    const std::vector<std::string> names = ex.files();
    if (c.where == waits::at_the_end) {
      expect_same_outputs(masked_files(reference, names), masked_files(dir, names));
    } else {
      for (const std::string& name : names) expect_empty_or_whole_lines(p(), dir, name);
      EXPECT_FALSE(dir.read(ex.data_file()).empty());
    }
  }
}

// A result file that is a FIFO nobody reads: the run waits writing it while
// it computes. The first signal lets the write go on; the second, after part
// of a write, ends every write: each regular file ends in a whole line.
TEST_P(RepeatedSignal, ResultFileNobodyReads) {
  example_run ex(p());
  ex.make_endless();
  scratch_dir dir;
  ex.write_to(dir);
  // A file written at every step, other than the data file where there is one.
  std::string waiting = ex.data_file();
  for (const std::string& s : p().suffixes)
    if (s == "_fluxes.txt") waiting = ex.file(s);
  full_pipe fifo;
  ASSERT_NO_FATAL_FAILURE(make_fifo(fifo, dir / waiting));
  ::close(fifo.write_end);
  fifo.write_end = -1;

  background_run run(dir, p().name);
  ASSERT_TRUE(wait_until(run, [&] { return waits_writing(run.pid(), fifo.id); }));
  ASSERT_NO_FATAL_FAILURE(signal_while_waiting(run, fifo, SIGTERM, true));
  ASSERT_EQ(::kill(run.pid(), SIGTERM), 0);
  EXPECT_EQ(wait_guarded(run).exit_status, 128 + SIGTERM);
  const run_result r = run.wait();
  const std::string err = error_after_notice(ex, r.err);
  EXPECT_EQ(err.rfind("output could not be written completely: '" + waiting +
                          "' (Interrupted system call)",
                      0),
            0u)
      << r.err;
  EXPECT_EQ(split_lines(err).size(), 1u) << r.err;

  for (const std::string& name : ex.files())
    if (name != waiting) expect_empty_or_whole_lines(p(), dir, name);
  if (waiting != ex.data_file()) {
    const std::vector<std::string> rows = split_lines(dir.read(ex.data_file()));
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) ASSERT_EQ(row.size(), rows.front().size()) << "a cut row";
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, RepeatedSignal, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
