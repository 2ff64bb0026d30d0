// Value-line reader. A statement scans values across lines until it has as
// many as it needs; separators are blanks, tabs, a comma (with blanks
// around it) or a slash, and the end of a line counts as a blank. Two
// commas with only blanks between them, or a comma before the first value
// of a statement, give a null value.
#include "textio/value_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "textio/signal_write.h"
#include "textio/units.h"

namespace textio {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_item(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The text found, quoted and shown safely.
std::string shown(std::string_view s) { return "'" + printable(s, 40) + "'"; }

// A real in one of the accepted forms, rewritten for strtod: the exponent
// letter D/d/Q/q becomes e, and a signed exponent without letter gets one.
// False when the text is not such a number.
bool normalize_real(std::string_view s, std::string* out) {
  out->clear();
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out->push_back(s[i++]);
  std::size_t mantissa_digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    out->push_back(s[i++]);
    ++mantissa_digits;
  }
  if (i < s.size() && s[i] == '.') {
    out->push_back(s[i++]);
    while (i < s.size() && is_digit(s[i])) {
      out->push_back(s[i++]);
      ++mantissa_digits;
    }
  }
  if (mantissa_digits == 0) return false;
  if (i == s.size()) return true;
  const char c = s[i];
  if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
    ++i;
  } else if (c != '+' && c != '-') {
    return false;
  }
  out->push_back('e');
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out->push_back(s[i++]);
  std::size_t exponent_digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    out->push_back(s[i++]);
    ++exponent_digits;
  }
  return exponent_digits > 0 && i == s.size();
}

// The non-finite values that the fields write, INF and NaN (any case, with
// an optional sign, "Infinity" too), so that a written value reads back and a
// parameter file can carry them on purpose.
bool special_real(std::string_view s, double* out) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  auto same = [&](std::string_view word) {
    if (s.size() != word.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(s[i])) != word[i]) return false;
    return true;
  };
  double v;
  if (same("inf") || same("infinity")) {
    v = std::numeric_limits<double>::infinity();
  } else if (same("nan")) {
    v = std::numeric_limits<double>::quiet_NaN();
  } else {
    return false;
  }
  *out = std::copysign(v, negative ? -1.0 : 1.0);
  return true;
}

// One value as found in the file: its text (quotes removed), whether it was
// quoted, whether it is null, and the line it stands on.
struct value_text {
  std::string text;
  bool quoted = false;
  bool null = false;
  int line = 0;
};

// Converts `v` into the item's destination; false with *what set when the
// text does not fit the item's type.
bool store(const item& it, const value_text& v, std::string* what) {
  if (v.null) return true;
  std::string found = v.quoted ? "'" + v.text + "'" : v.text;
  switch (it.k) {
    case item::kind::real: {
      double special;
      if (!v.quoted && special_real(v.text, &special)) {
        if (it.real_dest) *it.real_dest = special;
        return true;
      }
      std::string norm;
      if (v.quoted || !normalize_real(v.text, &norm)) {
        *what = "expected a real number, found " + shown(found);
        return false;
      }
      errno = 0;
      const double d = std::strtod(norm.c_str(), nullptr);
      if (errno == ERANGE && std::isinf(d)) {
        *what = "real number out of range, found " + shown(found);
        return false;
      }
      if (it.real_dest) *it.real_dest = d;
      return true;
    }
    case item::kind::integer: {
      std::size_t i = 0;
      const std::string& s = v.text;
      if (!v.quoted && i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
      const bool digits_only =
          !v.quoted && i < s.size() && s.find_first_not_of("0123456789", i) == std::string::npos;
      if (!digits_only) {
        *what = "expected an integer, found " + shown(found);
        return false;
      }
      errno = 0;
      const long long n = std::strtoll(s.c_str(), nullptr, 10);
      if (errno == ERANGE || n < INT_MIN || n > INT_MAX) {
        *what = "integer out of range, found " + shown(found);
        return false;
      }
      if (it.int_dest) *it.int_dest = static_cast<int>(n);
      return true;
    }
    case item::kind::text: {
      for (char c : v.text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
          *what = "text holds a control character, found " + shown(found);
          return false;
        }
      }
      if (it.text_dest && it.text_len > 0) {
        const auto len = static_cast<std::size_t>(it.text_len);
        const std::size_t n = v.text.size() < len ? v.text.size() : len;
        std::memcpy(it.text_dest, v.text.data(), n);
        std::memset(it.text_dest + n, ' ', len - n);
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::string read_error::message() const {
  return file + " line " + std::to_string(line) + ": " + item + ": " + what;
}

value_reader::value_reader(std::string file_name) : file_(std::move(file_name)) {
  fd_ = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    open_reason_ = std::strerror(errno);
    return;
  }
  // A directory opens but cannot be read: that is a file that cannot be opened.
  if (const int got = fill(); got < 0) {
    open_reason_ = std::strerror(-got);
    return;
  }
  opened_ = true;
  protect_input(fd_, file_);
}

value_reader::~value_reader() {
  if (fd_ >= 0) ::close(fd_);
}

int value_reader::fill() {
  if (at_end_) return 0;
  constexpr std::size_t chunk = 1 << 16;
  const std::size_t old = buf_.size();
  buf_.resize(old + chunk);
  ssize_t n;
  // A stop signal ends a wait for input (a pipe that never delivers).
  do {
    n = ::read(fd_, buf_.data() + old, chunk);
  } while (n < 0 && errno == EINTR && stop_signal() == 0);
  const int error = errno;
  buf_.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
  if (n <= 0) at_end_ = true;
  if (n < 0) return -error;
  return static_cast<int>(n);
}

// A UTF-8 byte-order mark that an editor put at the very start of the file
// is no part of line 1; the same bytes anywhere else are text.
std::size_t value_reader::byte_order_mark() const {
  static constexpr std::string_view mark = "\xEF\xBB\xBF";
  return line_ == 0 && std::string_view(buf_).substr(0, mark.size()) == mark ? mark.size() : 0;
}

value_reader::line_status value_reader::next_line(std::string* what) {
  const auto too_long = [&] {
    *what = "the line is longer than " + std::to_string(max_line_length) + " characters";
    return line_status::failed;
  };
  // Characters of a line without its line end (LF, or CR LF).
  const auto length = [&](std::size_t from, std::size_t to) {
    return to > from && buf_[to - 1] == '\r' ? to - from - 1 : to - from;
  };
  std::size_t scan = start_;
  for (;;) {
    const std::size_t nl = buf_.find('\n', scan);
    if (nl != std::string::npos) {
      const std::size_t from = start_ + byte_order_mark();
      if (length(from, nl) > max_line_length) return too_long();
      line_text_.assign(buf_, from, nl - from);
      start_ = nl + 1;
      ++line_;
      return line_status::line;
    }
    // A CR may still turn out to stand before a line feed.
    if (buf_.size() - start_ - byte_order_mark() > max_line_length + 1) return too_long();
    buf_.erase(0, start_);
    start_ = 0;
    scan = buf_.size();
    const int got = fill();
    if (got < 0) {
      *what = std::string("cannot read the file (") + std::strerror(-got) + ")";
      return line_status::failed;
    }
    if (got == 0) {
      const std::size_t from = byte_order_mark();
      if (buf_.size() == from) return line_status::end;
      if (length(from, buf_.size()) > max_line_length) return too_long();
      line_text_.assign(buf_, from);  // the last line, without a line end
      buf_.clear();
      ++line_;
      return line_status::line;
    }
  }
}

bool value_reader::read(std::span<const item> list, read_error* err) {
  auto fail = [&](int line, std::size_t index, std::string what) {
    failure_.file = file_;
    failure_.line = line;
    failure_.item = index < list.size() ? std::string(list[index].name) : std::string();
    failure_.what = std::move(what);
    spent_ = true;
    if (err) *err = failure_;
    return false;
  };
  if (spent_) {
    if (err) *err = failure_;
    return false;
  }
  if (!opened_) return fail(line_ + 1, 0, "cannot open the file (" + open_reason_ + ")");

  std::size_t next = 0;       // next item to fill
  bool comma_pending = true;  // a comma now gives a null value
  std::string what;
  auto take = [&](const value_text& v, long count) {
    for (long k = 0; k < count && next < list.size(); ++k, ++next) {
      if (!store(list[next], v, &what)) return false;
    }
    return true;
  };

  if (list.empty()) {  // skips a line
    if (next_line(&what) == line_status::failed) return fail(line_ + 1, 0, what);
    return true;
  }

  while (next < list.size()) {
    switch (next_line(&what)) {
      case line_status::line:
        break;
      case line_status::end:
        return fail(line_ + 1, next, "the file ends before this value");
      case line_status::failed:
        return fail(line_ + 1, next, what);
    }
    std::string_view ln(line_text_);
    if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);

    std::size_t c = 0;
    while (next < list.size()) {
      while (c < ln.size() && is_blank(ln[c])) ++c;
      if (c >= ln.size()) break;      // the line end is a blank; go on below
      if (ln[c] == '/') return true;  // the rest keep their values
      if (ln[c] == ',') {
        ++c;
        if (comma_pending) {
          value_text null_value;
          null_value.null = true;
          if (!take(null_value, 1)) return fail(line_, next, what);
        }
        comma_pending = true;
        continue;
      }

      // An item: [count*][value]
      const std::size_t start = c;
      long count = 1;
      std::size_t d = c;
      while (d < ln.size() && is_digit(ln[d])) ++d;
      if (d > c && d < ln.size() && ln[d] == '*') {
        const std::string_view digits = ln.substr(c, d - c);
        count = digits.size() > 9 ? 0 : std::strtol(std::string(digits).c_str(), nullptr, 10);
        if (count < 1) {
          std::size_t e = d + 1;
          while (e < ln.size() && !ends_item(ln[e])) ++e;
          return fail(line_, next, "bad repeat count, found " + shown(ln.substr(start, e - start)));
        }
        c = d + 1;
      }

      value_text v;
      v.line = line_;
      if (c < ln.size() && (ln[c] == '\'' || ln[c] == '"')) {
        const char q = ln[c++];
        bool closed = false;
        while (c < ln.size()) {
          if (ln[c] == q) {
            if (c + 1 < ln.size() && ln[c + 1] == q) {  // doubled quote
              v.text += q;
              c += 2;
              continue;
            }
            ++c;
            closed = true;
            break;
          }
          v.text += ln[c++];
        }
        if (!closed) {
          return fail(line_, next,
                      "quoted text has no closing quote, found " + shown(ln.substr(start)));
        }
        if (c < ln.size() && !ends_item(ln[c])) {
          std::size_t e = c;
          while (e < ln.size() && !ends_item(ln[e])) ++e;
          return fail(line_, next,
                      "unexpected text after a quoted value, found " +
                          shown(ln.substr(start, e - start)));
        }
        v.quoted = true;
      } else if (c >= ln.size() || ends_item(ln[c])) {
        v.null = true;  // "r*" alone
      } else {
        const std::size_t b = c;
        while (c < ln.size() && !ends_item(ln[c])) ++c;
        v.text.assign(ln.substr(b, c - b));
      }
      if (!take(v, count)) return fail(line_, next, what);
      comma_pending = false;
    }
  }
  return true;
}

std::string printable(std::string_view s, std::size_t limit) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < s.size() && i < limit; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  if (s.size() > limit) out += "...";
  return out;
}

}  // namespace textio
