// Line builder: fields appended into a fixed buffer; what does not fit is cut.
#include "textio/line.h"

#include <cstring>

namespace textio {

line& line::x(int blanks) {
  for (int k = 0; k < blanks && len_ < capacity; ++k) buf_[len_++] = ' ';
  return *this;
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
