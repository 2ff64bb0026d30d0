// Value-line reader for the parameter files: one statement per line. A
// statement takes the values it needs, separated by blanks, tabs or commas,
// and ignores the rest of its last line; too few values continue on the next
// line (blank lines are skipped). "3*0.5" repeats a value, "2*" or an empty
// item between commas is a null value that leaves its destination unchanged,
// a slash ends the statement early (the remaining destinations unchanged), and
// a text may be quoted with ' or ". CR LF reads like LF, and a UTF-8
// byte-order mark at the very start of the file is skipped.
//
// Reals: 1  1.  .5  1e3  1.0E-03  1.0D-03  1.0d+3  +2  -2 and the form
// without exponent letter, 1.0+3 and 1.0000-100; INF, Infinity and NaN in any
// case, signed or not, as the fields write them. Integers: optional sign and
// digits only. Anything else, a value outside double (or int) range, or the
// end of the file before the statement is complete is an error, never a
// silent zero.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace textio {

struct read_error {
  std::string file;  // "VELMO67.INP"
  int line = 0;      // 1-based line of the offending item
  std::string item;  // the item's name, "k55"
  std::string what;  // "expected a real number, found 'abc'"
  // "VELMO67.INP line 57: k55: expected a real number, found 'abc'"
  std::string message() const;
};

struct item {
  enum class kind { real, integer, text };
  std::string_view name;
  kind k;
  double* real_dest = nullptr;
  int* int_dest = nullptr;
  char* text_dest = nullptr;  // blank-padded, text_len characters, no NUL
  int text_len = 0;
};

inline item real(std::string_view name, double& dest) {
  return {name, item::kind::real, &dest, nullptr, nullptr, 0};
}
inline item integer(std::string_view name, int& dest) {
  return {name, item::kind::integer, nullptr, &dest, nullptr, 0};
}
inline item text(std::string_view name, char* dest, int len) {
  return {name, item::kind::text, nullptr, nullptr, dest, len};
}

class value_reader {
 public:
  // A line may hold at most this many characters before its line end; a
  // longer one (a file without line ends, /dev/zero) is an error of its line
  // instead of a read without end.
  static constexpr std::size_t max_line_length = std::size_t{1} << 20;

  // Opens the file and marks it as input that no result file of the run may
  // overwrite (textio::protect_input). Lines are read as statements need
  // them, so lines after the last statement are never read. A file that
  // cannot be opened is reported at the first statement (as that
  // statement's line 1 error).
  explicit value_reader(std::string file_name);
  ~value_reader();
  value_reader(const value_reader&) = delete;
  value_reader& operator=(const value_reader&) = delete;

  // Reads one statement into `items` in order. Returns false and fills *err
  // on the first bad or missing value; the reader is then spent (later reads
  // fail with the same error). An empty list skips one line.
  bool read(std::initializer_list<item> items, read_error* err) {
    return read(std::span<const item>(items.begin(), items.size()), err);
  }
  bool read(std::span<const item> items, read_error* err);

  const std::string& file_name() const { return file_; }
  int line_number() const { return line_; }  // lines consumed so far

 private:
  enum class line_status { line, end, failed };
  // The next line into line_text_ (without its LF), or the end of the
  // file, or a failure with *what set.
  line_status next_line(std::string* what);
  // The length of a byte-order mark that opens the file, while line 1 is
  // read; else 0.
  std::size_t byte_order_mark() const;
  // Reads more of the file onto buf_: the count read, 0 at the end, or
  // -errno on a failure.
  int fill();

  std::string file_;
  int fd_ = -1;
  bool opened_ = false;
  bool at_end_ = false;
  std::string open_reason_;
  std::string buf_;  // read ahead, from start_ on not yet consumed
  std::size_t start_ = 0;
  std::string line_text_;  // the line being read, with a CR before its LF
  int line_ = 0;
  bool spent_ = false;  // a read failed; every later read repeats it
  read_error failure_;
};

// Text from a file, fit for a message: printable ASCII as it is, other bytes
// as \xNN, cut after `limit` characters with "...".
std::string printable(std::string_view s, std::size_t limit);

}  // namespace textio
