// The one way out of a run: exit statuses, the lines on standard error, and
// the stop signals.
#include "textio/exit_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include "textio/line.h"
#include "textio/signal_write.h"
#include "textio/units.h"

namespace textio {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;
bool g_stderr_usable = true;

extern "C" void request_stop(int sig) {
  g_stop_signal = sig;
  count_stop_signal();
}

// The line is written even after the run's writes ended; a stop signal that
// comes while it waits then ends it.
void write_stderr(std::string_view text) {
  if (!g_stderr_usable) return;
  std::string out(text);
  out += current_line_end() == line_end::crlf ? "\r\n" : "\n";
  const int limit = std::max(writes_end_after, stop_signal_count() + 1);
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n =
        write_until_signals(STDERR_FILENO, out.data() + done, out.size() - done, limit, true);
    if (n < 0 && errno == EINTR && stop_signal_count() < limit) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool is_closed(int fd) { return ::fcntl(fd, F_GETFD) == -1 && errno == EBADF; }

// Gives the closed descriptor `fd` /dev/null; false when that fails.
bool occupy(int fd) {
  const int null_fd = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  if (null_fd < 0) return false;
  if (null_fd != fd) {  // only when a lower number was free after all
    ::dup2(null_fd, fd);
    ::close(null_fd);
  }
  return true;
}

void catch_stop_signal(int sig) {
  struct sigaction old = {};
  if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) return;  // nohup
  struct sigaction sa = {};
  sa.sa_handler = request_stop;
  sigfillset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a wait for a lock or a blocked write returns
  ::sigaction(sig, &sa, nullptr);
}

// One line: what ended the run, what could not be written, and where the
// integrator's messages are.
void report(std::string_view cause) {
  const bool failed = output_failed();
  if (cause.empty() && !failed) return;
  std::string line(cause);
  if (failed) {
    if (!line.empty()) line += "; ";
    line += "output could not be written completely: ";
    const auto& failures = output_failures();
    for (std::size_t i = 0; i < failures.size(); ++i) line += (i ? ", " : "") + failures[i];
  }
  const std::string& messages = message_file();
  line += "; the integrator's messages are ";
  line += messages.empty() ? std::string("on standard output") : "in '" + messages + "'";
  write_stderr(line);
}

[[noreturn]] void end_process(int status, std::string_view cause) {
  release_files();
  // A later signal that ended the writes names the status.
  if (status > exit_signal_base && g_stop_signal != 0) status = exit_signal_base + g_stop_signal;
  report(cause);
  if (status == exit_normal && output_failed()) status = exit_run_failed;
  std::exit(status);
}

}  // namespace

void start_run() {
  // Lowest numbers first, so that each open lands on the number it fills.
  if (is_closed(STDIN_FILENO)) occupy(STDIN_FILENO);
  const bool stdout_closed = is_closed(STDOUT_FILENO);
  if (stdout_closed) occupy(STDOUT_FILENO);
  g_stderr_usable = !is_closed(STDERR_FILENO) || occupy(STDERR_FILENO);
  g_stop_signal = 0;
  forget_stop_signals();
  reset_units();
  if (stdout_closed) console().refuse_writes(EBADF);
  // A vanished console reader and a file size limit (ulimit -f) are write
  // failures, reported, instead of a silent death. No program starts
  // another, so these need not be restored for a child.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) catch_stop_signal(sig);
}

void stop_before_output(std::string_view line) {
  stop_if_signalled();  // the signal, not what it interrupted, ends the run
  write_stderr(line);
  end_process(exit_unusable_input, "");
}

void error_halt(int istate) {
  for (int i = 0; i < 3; ++i) console().write_line("");
  line halt;
  console().write_line(halt.lit(" ERROR HALT.. ISTATE =").i(istate, 3).view());
  stop_run("the run stopped at ERROR HALT.. ISTATE = " + std::to_string(istate));
}

void stop_run(std::string_view cause) { end_process(exit_run_failed, cause); }

int finish_run() {
  release_files();
  if (const int sig = stop_signal()) {
    report("");
    return exit_signal_base + sig;
  }
  report("");
  return output_failed() ? exit_run_failed : exit_normal;
}

void warn(std::string_view line) { write_stderr(line); }

int stop_signal() { return g_stop_signal; }

void stop_if_signalled() {
  if (const int sig = g_stop_signal) end_process(exit_signal_base + sig, "");
}

void stop(int status) { end_process(status, ""); }

}  // namespace textio
