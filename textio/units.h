// Output units: small unit numbers naming open result files, the console, and
// the program-wide line end. All output is buffered; stop() flushes and closes
// everything on every exit path.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace textio {

enum class line_end { lf, crlf };

// Program-wide line end for every line of every file and the console.
void set_line_end(line_end end);
line_end current_line_end();

// A buffered sequential text sink (a file or standard output).
class sink {
 public:
  sink() = default;
  sink(const sink&) = delete;
  sink& operator=(const sink&) = delete;
  ~sink();

  // Creates or truncates `path`. On failure returns false and sets *reason.
  bool open(const std::string& path, std::string* reason);
  void attach_stdout();
  // Takes over an open, writable descriptor (closed by close()).
  void adopt(int fd);
  bool is_open() const { return fd_ >= 0; }

  void write_line(std::string_view text);  // text + the program's line end
  void flush();
  void close();

 private:
  void put(const char* p, std::size_t n);
  int fd_ = -1;
  bool owns_fd_ = false;
  bool flush_each_line_ = false;
  char buf_[1 << 16];
  std::size_t len_ = 0;
};

// The console: standard output through the default output unit. Opening a
// file on unit 6 does not redirect it.
sink& console();

// Drops leading and trailing blanks from a blank-padded file name.
std::string trimmed_file_name(std::string_view padded);

// Opens (creates or truncates) a file on unit `unit` (1..99), its name being
// `padded_name` with leading and trailing blanks dropped. On failure returns
// false and sets *error to one line naming the file and the reason.
bool open_unit(int unit, std::string_view padded_name, std::string* error);

// One file of a group that is opened together.
struct unit_file {
  int unit;
  std::string_view padded_name;
};

// Opens a group of files all or nothing, in the order given: only when every
// file of the group can be opened is each one created, or an existing one
// replaced. When one cannot be opened, nothing on disk has changed (files this
// call created are removed again), and *error is one line naming that file
// and the reason. A result file that cannot be created thus loses nothing of
// an earlier run.
bool open_units(std::span<const unit_file> files, std::string* error);
inline bool open_units(std::initializer_list<unit_file> files, std::string* error) {
  return open_units(std::span<const unit_file>(files.begin(), files.size()), error);
}

// The file open on `unit`, or nullptr.
sink* unit(int unit);

// Writes one line on `unit`. Unit 6 with no file open on it is standard output
// (the integrator's message unit); writing to another unit that is not open
// is ignored.
void write_unit(int unit, std::string_view text);

void close_unit(int unit);

// Flushes the console and closes every open unit.
void close_all();

// True once a write or close of any sink has failed (disk full, closed
// descriptor): the files are then incomplete.
bool output_failed();

// Ends the process with `status` after close_all(). Output that could not be
// written is reported on standard error and turns a status 0 into 1, so a
// truncated result is never passed off as a normal end.
[[noreturn]] void stop(int status);

}  // namespace textio
