// Output units: buffered sinks over file descriptors, the unit table, the
// console, the program-wide line end and the record of failed output.
#include "textio/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "textio/signal_write.h"
#include "textio/units_internal.h"

namespace textio {
namespace {

// The file last opened on unit 6 in this run.
std::string& message_file_name() {
  static std::string name;
  return name;
}

// Numbers the failures of the run across the sinks, in the order they come.
unsigned long g_failures = 0;

struct unit_table {
  std::unique_ptr<sink> slot[100];
};

unit_table& table_storage() {
  static unit_table table;
  return table;
}

sink& console_storage() {
  static sink out;
  static const bool attached = [] {
    out.attach_stdout();
    return true;
  }();
  (void)attached;
  return out;
}

// Whatever way the process ends normally (return from main, exit), nothing
// buffered is lost. Both tables are built before the handler is registered,
// so it runs before their destructors.
void ensure_exit_flush() {
  static const bool registered = [] {
    table_storage();
    console_storage();
    message_file_name();
    std::atexit([] { close_all(); });
    return true;
  }();
  (void)registered;
}

unit_table& units() {
  ensure_exit_flush();
  return table_storage();
}

std::string quoted(const std::string& name) { return "'" + name + "'"; }

bool is_regular_file(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

sink::~sink() { close(); }

bool sink::open(const std::string& path, std::string* reason) {
  close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return false;
  }
  adopt(fd, path);
  return true;
}

void sink::adopt(int fd, std::string name) {
  close();
  fd_ = fd;
  owns_fd_ = true;
  may_wait_ = !is_regular_file(fd);
  len_ = 0;
  failed_ = false;
  refused_error_ = 0;
  accepting_ = true;
  torn_ = 0;
  label_ = quoted(name);
}

void sink::attach_stdout() {
  close();
  fd_ = STDOUT_FILENO;
  owns_fd_ = false;
  may_wait_ = !is_regular_file(STDOUT_FILENO);
  len_ = 0;
  failed_ = false;
  refused_error_ = 0;
  accepting_ = true;
  torn_ = 0;
  label_ = "standard output";
  // Someone watching a terminal sees each line as it is written.
  flush_each_line_ = ::isatty(STDOUT_FILENO) == 1;
}

void sink::refuse_writes(int error) {
  refused_error_ = error;
  accepting_ = false;
}

void sink::fail(int error) {
  if (failed_) return;
  failed_ = true;
  accepting_ = false;
  len_ = 0;
  if (failure_.empty()) {
    failure_ = label_ + " (" + std::strerror(error) + ")";
    failure_order_ = ++g_failures;
  }
}

void sink::forget_failure() {
  failure_.clear();
  failure_order_ = 0;
}

// 0, or the errno of the failure. A write that the first stop signal
// interrupts (a console pipe nobody reads) goes on: the run writes out what it
// has. Once the run's writes ended (signal_write.h), it writes nothing more
// and fails. A file that fails is cut back to its last whole line.
int sink::write_out(const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t k = write_until_signals(fd_, p, n, writes_end_after, may_wait_);
    if (k <= 0) {
      const int error = k < 0 ? errno : EIO;
      if (error == EINTR && !writes_ended()) continue;
      if (owns_fd_ && torn_ > 0) {
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);
        if (end >= static_cast<off_t>(torn_))
          (void)::ftruncate(fd_, end - static_cast<off_t>(torn_));
      }
      return error;
    }
    const auto done = static_cast<std::size_t>(k);
    const void* nl = ::memrchr(p, '\n', done);
    torn_ =
        nl ? done - static_cast<std::size_t>(static_cast<const char*>(nl) - p) - 1 : torn_ + done;
    p += done;
    n -= done;
  }
  return 0;
}

// The common case, kept small so that it inlines into write_line.
inline void sink::put(const char* p, std::size_t n) {
  if (accepting_ && len_ + n <= sizeof buf_) {
    std::memcpy(buf_ + len_, p, n);
    len_ += n;
    return;
  }
  put_rare(p, n);
}

void sink::put_rare(const char* p, std::size_t n) {
  if (!accepting_) {  // closed, failed, or refusing: a refused write is a failure
    if (fd_ >= 0 && refused_error_ != 0) fail(refused_error_);
    return;
  }
  flush();  // the buffer is full
  if (!accepting_) return;
  if (n > sizeof buf_) {  // too long to buffer: straight through
    if (const int e = write_out(p, n)) fail(e);
    return;
  }
  std::memcpy(buf_ + len_, p, n);
  len_ += n;
}

void sink::write_line(std::string_view text) {
  put(text.data(), text.size());
  if (current_line_end() == line_end::crlf) {
    put("\r\n", 2);
  } else {
    put("\n", 1);
  }
  if (flush_each_line_) flush();
}

void sink::flush() {
  if (!accepting_ || len_ == 0) return;
  if (const int e = write_out(buf_, len_)) fail(e);
  len_ = 0;
}

void sink::close() {
  if (fd_ < 0) return;
  flush();
  if (owns_fd_ && ::close(fd_) != 0 && errno != EINTR) fail(errno);
  fd_ = -1;
  owns_fd_ = false;
  accepting_ = false;
  flush_each_line_ = false;
}

sink& console() {
  ensure_exit_flush();
  return console_storage();
}

std::string trimmed_file_name(std::string_view padded) {
  const auto first = padded.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = padded.find_last_not_of(' ');
  return std::string(padded.substr(first, last - first + 1));
}

bool open_unit(int unit, std::string_view padded_name, std::string* error) {
  const std::string name = trimmed_file_name(padded_name);
  if (unit < 1 || unit > 99) {
    if (error)
      *error = "cannot open '" + name + "': unit " + std::to_string(unit) + " is not 1 to 99";
    return false;
  }
  std::string reason;
  if (!unit_slot(unit).open(name, &reason)) {
    if (error) *error = "cannot create the file '" + name + "' (" + reason + ")";
    return false;
  }
  if (unit == 6) set_message_file(name);
  return true;
}

sink& unit_slot(int unit) {
  unit_table& t = units();
  if (!t.slot[unit]) t.slot[unit] = std::make_unique<sink>();
  return *t.slot[unit];
}

void set_message_file(std::string name) { message_file_name() = std::move(name); }
const std::string& message_file() { return message_file_name(); }

sink* unit(int unit) {
  if (unit < 1 || unit > 99) return nullptr;
  sink* s = units().slot[unit].get();
  return s && s->is_open() ? s : nullptr;
}

void write_unit(int unit_number, std::string_view text) {
  if (sink* s = unit(unit_number)) {
    s->write_line(text);
  } else if (unit_number == 6) {
    console().write_line(text);
  }
}

void close_unit(int unit_number) {
  if (sink* s = unit(unit_number)) s->close();
}

void close_all() {
  unit_table& t = units();
  for (auto& s : t.slot) {
    if (s) s->close();
  }
  console().flush();
}

namespace {

// Every sink of the run: the console and each unit's.
template <class Visit>
void for_each_sink(Visit visit) {
  visit(console());
  for (auto& s : units().slot)
    if (s) visit(*s);
}

}  // namespace

bool output_failed() {
  bool failed = false;
  for_each_sink([&](const sink& s) { failed = failed || !s.failure().empty(); });
  return failed;
}

std::vector<std::string> output_failures() {
  std::vector<const sink*> failed;
  for_each_sink([&](const sink& s) {
    if (!s.failure().empty()) failed.push_back(&s);
  });
  std::sort(failed.begin(), failed.end(),
            [](const sink* a, const sink* b) { return a->failure_order() < b->failure_order(); });
  std::vector<std::string> out;
  for (const sink* s : failed) out.push_back(s->failure());
  return out;
}

void reset_units() {
  close_all();
  release_locks();
  for_each_sink([](sink& s) { s.forget_failure(); });
  g_failures = 0;
  message_file_name().clear();
  forget_inputs();
  console().attach_stdout();
}

}  // namespace textio
