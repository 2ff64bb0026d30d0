// Line builder: fields appended into a fixed buffer; what does not fit is cut.
#include "textio/line.h"

#include <cstring>

namespace textio {

line& line::x(int blanks) {
  for (int k = 0; k < blanks && len_ < capacity; ++k) buf_[len_++] = ' ';
  return *this;
}

line& line::lit(std::string_view text) {
  const std::size_t n = text.size() < capacity - len_ ? text.size() : capacity - len_;
  std::memcpy(buf_ + len_, text.data(), n);
  len_ += n;
  return *this;
}

line& line::sci(double v, int width, int digits) {
  return field(width, [&](char* out, int w) { put_sci(out, v, w, digits); });
}

line& line::dexp(double v, int width, int digits) {
  return field(width, [&](char* out, int w) { put_dexp(out, v, w, digits); });
}

line& line::i(long long v, int width) {
  return field(width, [&](char* out, int w) { put_int(out, v, w); });
}

line& line::f(double v, int width, int digits) {
  return field(width, [&](char* out, int w) { put_fixed(out, v, w, digits); });
}

line& line::a(std::string_view text, int width) {
  return field(width, [&](char* out, int w) { put_text(out, text, w); });
}

}  // namespace textio
