// Output units: small unit numbers naming open result files, and the
// console. Every line ends with the program's line end (line_end.h). Output
// is buffered and written out when a buffer
// is full, at a flush and at the close (the console of a terminal after every
// line); what a file keeps after a failed write ends in a whole line. Each
// sink holds its own failure (the file and the reason), which the run's end
// (exit_path.h) asks for.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "textio/line_end.h"

namespace textio {

// A buffered sequential text sink (a file or standard output). After its
// first failed write the sink drops everything else, and a file is cut back
// to its last whole line: it ends where the failure struck, in a whole line,
// instead of going on past a gap.
class sink {
 public:
  sink() = default;
  sink(const sink&) = delete;
  sink& operator=(const sink&) = delete;
  ~sink();

  // Creates or truncates `path`. On failure returns false and sets *reason.
  bool open(const std::string& path, std::string* reason);
  void attach_stdout();
  // Takes over an open, writable descriptor (closed by close()); `name` is
  // the file's name as opened, for the failure report.
  void adopt(int fd, std::string name);
  // Every write fails with `error` (standard output closed at start).
  void refuse_writes(int error);
  bool is_open() const { return fd_ >= 0; }
  int descriptor() const { return fd_; }

  void write_line(std::string_view text);  // text + the program's line end
  void flush();
  void close();
  // Records a failure of this sink: it drops every later write (until it is
  // opened anew), and the first failure of the run is kept for the report.
  void fail(int error);

  // The first failure of this sink in the run, "'name' (reason)" or
  // "standard output (reason)"; empty when none. Kept through a close and a
  // new open; forget_failure() (a new run) drops it.
  const std::string& failure() const { return failure_; }
  // Orders the failures of all sinks: larger for a later one.
  unsigned long failure_order() const { return failure_order_; }
  void forget_failure();

 private:
  void put(const char* p, std::size_t n);
  void put_rare(const char* p, std::size_t n);  // full buffer, failure, too long
  int write_out(const char* p, std::size_t n);
  int fd_ = -1;
  bool owns_fd_ = false;
  bool may_wait_ = true;  // not a regular file: a write may wait for a reader
  bool flush_each_line_ = false;
  bool failed_ = false;
  int refused_error_ = 0;
  bool accepting_ = false;  // open, not failed, not refusing: writes go to the buffer
  std::size_t torn_ = 0;    // bytes written after the last line end
  std::string label_;       // "'name'" or "standard output"
  std::string failure_;
  unsigned long failure_order_ = 0;
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

// How a file of a group is shared with other runs.
enum class sharing {
  // Named after the run: locked for the whole run, emptied by the open.
  run,
  // "tmp", which every program in a directory writes: neither locked nor
  // emptied by the open; shared_write empties it under a lock when written.
  directory,
};

// One file of a group that is opened together.
struct unit_file {
  int unit;
  std::string_view padded_name;
  sharing shared = sharing::run;
};

// Opens a group of files all or nothing, in the order given. Only when every
// file can be used is each one created, or an existing one replaced: when one
// cannot, nothing on disk has changed (files this call created, the target of
// a dangling link included, are removed again, unless another run has had
// them since: a name that leads elsewhere now, or a shared file another run
// is writing or has written), and *error is one line naming that file and
// why. A file cannot be used when it cannot be opened, when it is a
// parameter file this run read (protect_input), when it is standard output,
// when it is the same file as another of the group, or when another run is
// writing it (its lock is held). A `sharing::run` file this call creates is
// locked before another run can open it, and the lock on each is held until
// release_files(). Regular files only are locked and compared; a device
// (/dev/null) may stand for several files. After a stop signal the group is
// refused before anything is created (false, *error saying so); the run's
// stop check (exit_path.h) then ends the run.
bool open_units(std::span<const unit_file> files, std::string* error);
inline bool open_units(std::initializer_list<unit_file> files, std::string* error) {
  return open_units(std::span<const unit_file>(files.begin(), files.size()), error);
}

// The file on `fd` was read as input (`name`): no result file may be it.
void protect_input(int fd, std::string_view name);

// While alive, the `sharing::directory` file on `unit` is this run's alone:
// the constructor waits until no other run writes it, saying so on standard
// error when it has to wait, follows its name when the file was taken away or
// replaced meanwhile, and empties it; the destructor writes it out and lets
// other runs in. A stop signal ends the wait: the unit is then closed with
// the file untouched (its lines are dropped), and the run's next stop check
// (exit_path.h) ends the run.
class shared_write {
 public:
  explicit shared_write(int unit);
  ~shared_write();
  shared_write(const shared_write&) = delete;
  shared_write& operator=(const shared_write&) = delete;

 private:
  int unit_;
};

// The file open on `unit`, or nullptr.
sink* unit(int unit);

// Writes one line on `unit`. Unit 6 with no file open on it is standard output
// (the integrator's message unit); writing to another unit that is not open
// is ignored.
void write_unit(int unit, std::string_view text);

void close_unit(int unit);

// Flushes the console and closes every open unit.
void close_all();

// Closes every unit and lets go of the locks the group opens took.
void release_files();

// Where the integrator's messages went: the name of the file last opened on
// unit 6, or empty when unit 6 has been standard output all along.
const std::string& message_file();

// Output that could not be written, as the sinks hold it: each failed sink
// once, in the order of failure, as "'name' (reason)" or "standard output
// (reason)".
bool output_failed();
std::vector<std::string> output_failures();

// Forgets the failures, the protected inputs and the message file: a new run
// in the same process starts clean.
void reset_units();

}  // namespace textio
