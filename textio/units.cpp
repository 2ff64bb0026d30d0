// Output units: buffered sinks over file descriptors, the unit table, the
// console and the program-wide line end.
#include "textio/units.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace textio {
namespace {

line_end g_line_end = line_end::lf;
bool g_write_failed = false;

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
    std::atexit([] { close_all(); });
    return true;
  }();
  (void)registered;
}

unit_table& units() {
  ensure_exit_flush();
  return table_storage();
}

bool write_all(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t k = ::write(fd, p, n);
    if (k < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

}  // namespace

void set_line_end(line_end end) { g_line_end = end; }
line_end current_line_end() { return g_line_end; }

sink::~sink() { close(); }

bool sink::open(const std::string& path, std::string* reason) {
  close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return false;
  }
  fd_ = fd;
  owns_fd_ = true;
  len_ = 0;
  return true;
}

void sink::adopt(int fd) {
  close();
  fd_ = fd;
  owns_fd_ = true;
  len_ = 0;
}

void sink::attach_stdout() {
  close();
  fd_ = STDOUT_FILENO;
  owns_fd_ = false;
  len_ = 0;
  // Someone watching a terminal sees each line as it is written.
  flush_each_line_ = ::isatty(STDOUT_FILENO) == 1;
}

void sink::put(const char* p, std::size_t n) {
  if (fd_ < 0) return;
  if (len_ + n > sizeof buf_) {
    flush();
    if (n > sizeof buf_) {  // too long to buffer: straight through
      if (!write_all(fd_, p, n)) g_write_failed = true;
      return;
    }
  }
  std::memcpy(buf_ + len_, p, n);
  len_ += n;
}

void sink::write_line(std::string_view text) {
  put(text.data(), text.size());
  if (g_line_end == line_end::crlf) {
    put("\r\n", 2);
  } else {
    put("\n", 1);
  }
  if (flush_each_line_) flush();
}

void sink::flush() {
  if (fd_ < 0 || len_ == 0) return;
  if (!write_all(fd_, buf_, len_)) g_write_failed = true;
  len_ = 0;
}

void sink::close() {
  if (fd_ < 0) return;
  flush();
  if (owns_fd_ && ::close(fd_) != 0) g_write_failed = true;
  fd_ = -1;
  owns_fd_ = false;
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
    if (error) *error = "cannot open '" + name + "': unit " + std::to_string(unit) + " is not 1 to 99";
    return false;
  }
  unit_table& t = units();
  if (!t.slot[unit]) t.slot[unit] = std::make_unique<sink>();
  std::string reason;
  if (!t.slot[unit]->open(name, &reason)) {
    if (error) *error = "cannot create the file '" + name + "' (" + reason + ")";
    return false;
  }
  return true;
}

namespace {

// A file of a group, open but not yet emptied.
struct pending_file {
  int fd;
  bool created;  // did not exist before: removed again if the group fails
  std::string name;
};

// Opens `name` for writing without truncating it.
bool open_untruncated(const std::string& name, pending_file* out, std::string* reason) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  bool created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {  // a dangling link: create its target, as a plain open would
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    created = false;
  }
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  *out = {fd, created, name};
  return true;
}

}  // namespace

bool open_units(std::span<const unit_file> files, std::string* error) {
  std::vector<pending_file> opened;
  opened.reserve(files.size());
  auto give_up = [&](const std::string& message) {
    for (const pending_file& f : opened) {
      ::close(f.fd);
      if (f.created) ::unlink(f.name.c_str());
    }
    if (error) *error = message;
    return false;
  };
  for (const unit_file& f : files) {
    const std::string name = trimmed_file_name(f.padded_name);
    if (f.unit < 1 || f.unit > 99)
      return give_up("cannot open '" + name + "': unit " + std::to_string(f.unit) + " is not 1 to 99");
    pending_file p;
    std::string reason;
    if (!open_untruncated(name, &p, &reason))
      return give_up("cannot create the file '" + name + "' (" + reason + ")");
    opened.push_back(p);
  }
  unit_table& t = units();
  auto file = opened.begin();
  for (const unit_file& f : files) {
    // Not a regular file (a terminal, /dev/null): nothing to empty.
    if (!file->created) (void)::ftruncate(file->fd, 0);
    if (!t.slot[f.unit]) t.slot[f.unit] = std::make_unique<sink>();
    t.slot[f.unit]->adopt(file->fd);
    ++file;
  }
  return true;
}

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

bool output_failed() { return g_write_failed; }

void stop(int status) {
  close_all();
  if (g_write_failed) {
    static const char msg[] = "error: output could not be written completely\n";
    (void)!::write(STDERR_FILENO, msg, sizeof msg - 1);
    if (status == 0) status = 1;
  }
  std::exit(status);
}

}  // namespace textio
