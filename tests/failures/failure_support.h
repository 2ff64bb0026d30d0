// Helpers of the failure-path tests: what each program does on those paths,
// a program started in the background (to be signalled, or to find a lock
// held), a lock held by the test itself, and the checks on the one line a
// failed run writes on standard error.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/bad_input/bad_input_support.h"

namespace failures {

using bad_input::parameter_text;
using bad_input::program_info;
using bad_input::result_files;
using bad_input::sentinels;
using bad_input::trimmed;
using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::split_lines;
namespace fs = std::filesystem;

// Where a program's integrator messages go: its ER file or standard output.
inline std::string messages_suffix(const program_info& p) {
  for (const std::string& s : p.suffixes)
    if (s == "_ER.txt") return s;
  return "";
}

// The example with the line edits a test needs, and names derived from it.
struct example_run {
  const program_info& p;
  parameter_text text;
  explicit example_run(const program_info& prog) : p(prog), text(prog) {}

  std::string padded_name() const { return text.padded_run_name(p); }
  // What the run writes on standard error before anything else (a cut run
  // name is told), with its line end; empty for most run names.
  std::string notice() const { return text.run_name_notice(p); }
  // Every file the run writes, named after the run first (data file first:
  // it opens first in every program), "tmp" last.
  std::vector<std::string> files() const { return result_files(p, padded_name()); }
  std::string file(const std::string& suffix) const { return trimmed(padded_name() + suffix); }
  std::string data_file() const { return file(".txt"); }
  std::string summary_file() const {
    for (const std::string& s : p.suffixes)
      if (s == "_summary.txt" || s == "-terminal-output.txt") return file(s);
    return "";
  }
  // "in '<ER file>'" or "on standard output".
  std::string message_place() const {
    const std::string s = messages_suffix(p);
    return s.empty() ? "on standard output" : "in '" + file(s) + "'";
  }

  // Phase 1 (or, with no phases, the first rows) short, then a run that
  // does not end by itself: once more than a buffer of data rows is on disk,
  // the run is past phase 1.
  void make_endless() {
    if (p.phases == 0) {
      text.set_value(2, 2, "1e9");
    } else {
      text.set_value(2, 2, "5.0");
      text.set_value(2, 3, "1e9");
    }
  }
  // The same phase 1 (with no phases: the same first rows), then the end of
  // the run.
  void make_phase_one_only() {
    if (p.phases == 0) {
      text.set_value(2, 2, "0.5");
    } else {
      text.set_value(2, 2, "5.0");
      text.set_value(2, 3, "0.0");
    }
  }
  void set_output_interval(const std::string& v) { text.set_value(2, 1, v); }
  void set_run_name(const std::string& quoted) { text.set_value(1, 0, quoted); }
  // The first rate constant (k1, VMAX) so large that the integrator fails at once.
  void make_integrator_fail() { text.set_value(p.value_line, 0, "1e308"); }

  void write_to(const scratch_dir& dir) const { dir.write(p.parameter_file, text.text()); }
};

// Where the program's standard output goes: a scratch file of the test,
// /dev/full, nowhere, the existing file `run_options::console_file`, opened
// for writing as it is (neither created nor emptied), or the test's own
// descriptor `run_options::console_fd` (the end of a pipe).
enum class console_to { file, full_device, closed, existing_file, descriptor };

// How a background run starts. The stop signals, SIGPIPE and SIGXFSZ start
// with their default action, except those in `inherited`, which keep the
// test's. A run the test cannot stop (a broken stop path) must not fill the
// disk: the file size limit ends it far beyond what any case here writes.
struct run_options {
  console_to console = console_to::file;
  int console_fd = -1;  // console_to::descriptor: the test's end of a pipe
  std::vector<int> inherited;
  rlim_t file_size_limit = rlim_t{256} << 20;
  fs::path console_file;
};

// A program running in the background in `dir`; it dies with the test.
class background_run {
 public:
  background_run(const scratch_dir& dir, const std::string& program, const run_options& o = {})
      : out_(dir / (".stdout-" + std::to_string(++count()))),
        err_(dir / (".stderr-" + std::to_string(count()))) {
    const pid_t test = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != test) _exit(127);
      const rlimit size{o.file_size_limit, o.file_size_limit};
      ::setrlimit(RLIMIT_FSIZE, &size);
      // What the test process holds must not decide the program's signals.
      for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ})
        if (std::find(o.inherited.begin(), o.inherited.end(), sig) == o.inherited.end())
          std::signal(sig, SIG_DFL);
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      if (::chdir(dir.path().c_str()) != 0) _exit(127);
      const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, STDERR_FILENO);
      ::close(err);
      if (o.console == console_to::closed) {
        ::close(STDOUT_FILENO);
      } else if (o.console == console_to::existing_file) {
        const int out = ::open(o.console_file.c_str(), O_WRONLY);
        if (out < 0) _exit(127);
        ::dup2(out, STDOUT_FILENO);
        ::close(out);
      } else if (o.console == console_to::descriptor) {
        ::dup2(o.console_fd, STDOUT_FILENO);
      } else {
        const std::string to = o.console == console_to::file ? out_.string() : "/dev/full";
        const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::close(out);
      }
      const std::string prog = testing_support::program_path(program);
      ::execl(prog.c_str(), prog.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~background_run() {
    if (!done_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  background_run(const background_run&) = delete;
  background_run& operator=(const background_run&) = delete;

  pid_t pid() const { return pid_; }

  // What the program has written on standard error so far (nothing before
  // the child has made its capture file).
  std::string err_so_far() const { return testing_support::read_file_if_present(err_); }

  // True while the program runs.
  bool running() {
    if (done_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) finish(status);
    return !done_;
  }

  // Waits for the end; exit_status is -1 when a signal ended the process.
  run_result wait() {
    if (!done_) {
      int status = 0;
      ::waitpid(pid_, &status, 0);
      finish(status);
    }
    return result_;
  }

 private:
  void finish(int status) {
    done_ = true;
    result_.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // A closed console leaves no standard-output file.
    result_.out = testing_support::read_file_if_present(out_);
    result_.err = testing_support::read_file_if_present(err_);
    std::error_code ec;
    fs::remove(out_, ec);
    fs::remove(err_, ec);
  }

  // Numbers the capture files, so that runs side by side in one directory
  // keep their own.
  static int& count() {
    static int n = 0;
    return n;
  }

  fs::path out_, err_;
  pid_t pid_ = -1;
  bool done_ = false;
  run_result result_;
};

// Runs the program to its end.
inline run_result run_to_end(const scratch_dir& dir, const std::string& program,
                             const run_options& o = {}) {
  background_run run(dir, program, o);
  return run.wait();
}

inline std::uintmax_t size_of(const fs::path& p) {
  std::error_code ec;
  const auto n = fs::file_size(p, ec);
  return ec ? 0 : n;
}

// Waits until `file` holds something: the program has written more than a
// buffer's worth into it. False when the program ended first.
inline bool wait_for_content(background_run& run, const fs::path& file) {
  while (size_of(file) == 0) {
    if (!run.running()) return false;
    ::usleep(1000);
  }
  return true;
}

// An exclusive lock on `path` held by the test, as another run would hold it.
// The descriptor is not passed on to the programs the test starts.
class held_lock {
 public:
  explicit held_lock(const fs::path& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~held_lock() { release(); }
  held_lock(const held_lock&) = delete;
  held_lock& operator=(const held_lock&) = delete;
  bool held() const { return fd_ >= 0; }
  void release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// The bound on every wait of a test for a run: a run that never gets where
// the test waits for fails the test instead of hanging it.
class wait_guard {
 public:
  wait_guard() : end_(std::chrono::steady_clock::now() + std::chrono::minutes(2)) {}
  bool expired() const { return std::chrono::steady_clock::now() > end_; }

 private:
  std::chrono::steady_clock::time_point end_;
};

// Waits until `reached()` holds; false when the run ended first or the
// guard ran out.
template <class Condition>
bool wait_until(background_run& run, Condition reached) {
  const wait_guard guard;
  while (!reached()) {
    if (!run.running() || guard.expired()) return reached();
    ::usleep(1000);
  }
  return true;
}

// Waits for the end of a run that must end by itself; one that outlives the
// guard is killed (exit_status -1).
inline run_result wait_guarded(background_run& run) {
  const wait_guard guard;
  while (run.running()) {
    if (guard.expired()) ::kill(run.pid(), SIGKILL);
    ::usleep(1000);
  }
  return run.wait();
}

// Exactly `line` and the program's line end on standard error, after the
// notice of a cut run name when the run of `ex` writes one.
inline void expect_error_line(const example_run& ex, const run_result& r, const std::string& line) {
  EXPECT_EQ(r.err, ex.notice() + line + ex.p.line_end);
}

// Standard error after the notice of a cut run name, which comes first when
// the run of `ex` writes one.
inline std::string error_after_notice(const example_run& ex, const std::string& err) {
  const std::string notice = ex.notice();
  EXPECT_EQ(err.substr(0, notice.size()), notice) << "the run-name notice does not come first";
  return err.substr(std::min(notice.size(), err.size()));
}

// A result file the run wrote, in whole lines: it exists, holds at least one
// line, and ends with the line end.
inline void expect_whole_lines(const program_info& p, const scratch_dir& dir,
                               const std::string& name) {
  ASSERT_TRUE(fs::is_regular_file(dir / name)) << "'" << name << "' was not written";
  const std::string text = dir.read(name);
  ASSERT_GE(text.size(), p.line_end.size()) << "'" << name << "' holds no line";
  EXPECT_EQ(text.substr(text.size() - p.line_end.size()), p.line_end)
      << "'" << name << "' ends inside a line";
}

// A result file that a run stopped by a second signal may have left empty
// (what was still buffered is dropped): it exists, and what it holds ends in
// a whole line.
inline void expect_empty_or_whole_lines(const program_info& p, const scratch_dir& dir,
                                        const std::string& name) {
  ASSERT_TRUE(fs::is_regular_file(dir / name)) << "'" << name << "' was not written";
  const std::string text = dir.read(name);
  if (text.empty()) return;
  ASSERT_GE(text.size(), p.line_end.size()) << "'" << name << "' ends inside a line";
  EXPECT_EQ(text.substr(text.size() - p.line_end.size()), p.line_end)
      << "'" << name << "' ends inside a line";
}

inline std::string program_name(const testing::TestParamInfo<program_info>& i) {
  return i.param.name;
}

}  // namespace failures
