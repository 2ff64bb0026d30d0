// The one way out of a run: exit statuses, the lines on standard error, and
// the stop signals.
#include "textio/exit_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "textio/error_line.h"
#include "textio/line.h"
#include "textio/signal_write.h"
#include "textio/units.h"

namespace textio {
namespace {

// What a stop throws: the exit status and what ended the run. Only run()
// catches it.
struct run_stop {
  int status;
  std::string cause;
};

extern "C" void request_stop(int sig) { count_stop_signal(sig); }

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
  write_error_line(line);
}

// The end of every run, once its files are closed: the line on standard
// error, and the status.
int reported_status(int status, std::string_view cause) {
  // A later signal that ended the writes names the status.
  if (status > exit_signal_base && stop_signal() != 0) status = exit_signal_base + stop_signal();
  report(cause);
  if (status == exit_normal && output_failed()) status = exit_run_failed;
  return status;
}

}  // namespace

void start_run() {
  // Lowest numbers first, so that each open lands on the number it fills.
  if (is_closed(STDIN_FILENO)) occupy(STDIN_FILENO);
  const bool stdout_closed = is_closed(STDOUT_FILENO);
  if (stdout_closed) occupy(STDOUT_FILENO);
  set_error_lines_usable(!is_closed(STDERR_FILENO) || occupy(STDERR_FILENO));
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

int run(const std::function<void()>& body) {
  start_run();
  try {
    body();
  } catch (const run_stop& s) {
    release_files();
    return reported_status(s.status, s.cause);
  }
  return finish_run();
}

int finish_run() {
  release_files();
  const int sig = stop_signal();
  return reported_status(sig != 0 ? exit_signal_base + sig : exit_normal, "");
}

void stop_before_output(std::string_view line) {
  stop_if_signalled();  // the signal, not what it interrupted, ends the run
  write_error_line(line);
  throw run_stop{exit_unusable_input, ""};
}

void error_halt(int istate) {
  for (int i = 0; i < 3; ++i) console().write_line("");
  line halt;
  console().write_line(halt.lit(" ERROR HALT.. ISTATE =").i(istate, 3).view());
  stop_run("the run stopped at ERROR HALT.. ISTATE = " + std::to_string(istate));
}

void stop_run(std::string_view cause) { throw run_stop{exit_run_failed, std::string(cause)}; }

void stop_if_signalled() {
  if (const int sig = stop_signal()) throw run_stop{exit_signal_base + sig, ""};
}

void stop(int status) { throw run_stop{status, ""}; }

void warn(std::string_view line) { write_error_line(line); }

}  // namespace textio
