// A line being assembled from fields, in a fixed buffer owned by the line.
// Reads like a format string: line.x(1).sci(v, 15, 6).lit(",").sci(...).
// Nothing allocates; a line longer than the capacity is cut (never written
// past the buffer).
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "textio/fields.h"

namespace textio {

class line {
 public:
  static constexpr std::size_t capacity = 2048;

  line& x(int blanks);                                  // nX
  line& lit(std::string_view text);                     // literal text
  line& sci(double v, int width, int digits);           // 1PEw.d
  line& dexp(double v, int width, int digits);          // Dw.d
  line& i(long long v, int width);                      // Iw
  line& f(double v, int width, int digits);             // Fw.d
  line& a(std::string_view text, int width);            // Aw
  line& a(std::string_view text) { return lit(text); }  // A (own width)

  std::string_view view() const { return {buf_, len_}; }
  std::size_t size() const { return len_; }
  void clear() { len_ = 0; }

 private:
  // Room for `n` more characters; false (and nothing written) if it would overflow.
  bool room(std::size_t n) const { return len_ + n <= capacity; }
  // Appends a field of `width` characters written by put(out, width); near
  // the end of the buffer only the part that fits is kept.
  template <class Put>
  line& field(int width, Put put);
  char buf_[capacity];
  std::size_t len_ = 0;
};

template <class Put>
line& line::field(int width, Put put) {
  constexpr int widest = 512;  // wider fields are cut to this
  const int w = width < 0 ? 0 : (width > widest ? widest : width);
  if (room(static_cast<std::size_t>(w))) {
    put(buf_ + len_, w);
    len_ += static_cast<std::size_t>(w);
  } else {
    char scratch[widest];
    put(scratch, w);
    lit(std::string_view(scratch, static_cast<std::size_t>(w)));
  }
  return *this;
}

// The row path: literals and 1PEw.d fields are inlined into the callers so a
// row costs no call per separator.
inline line& line::lit(std::string_view text) {
  const std::size_t free = capacity - len_;
  const std::size_t n = text.size() <= free ? text.size() : free;
  std::memcpy(buf_ + len_, text.data(), n);
  len_ += n;
  return *this;
}

inline line& line::sci(double v, int width, int digits) {
  return field(width, [&](char* out, int w) { put_sci(out, v, w, digits); });
}

}  // namespace textio
