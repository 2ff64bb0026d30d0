// Free-form report line: starts with one blank; a text item is written as it
// is, preceded by a blank only when the previous item was a number; each number
// is two blanks (or a blank and its minus sign) and the number, unpadded.
//   integer: its digits
//   double:  fixed form, 15 significant digits, when zero or 0.1 <= |v| < 1e15,
//            otherwise D.dddddddddddddddE+xxx (15 digits, 3 exponent digits)
//   single:  6 significant digits, fixed below 1e6 (and >= 0.1 or zero),
//            otherwise D.ddddddE+xx
// Zero is "0.000000000000000" (single "0.000000"), never signed.
#pragma once

#include <cstddef>
#include <string_view>

namespace textio {

class freeform {
 public:
  static constexpr std::size_t capacity = 2048;

  freeform();
  freeform& text(std::string_view s);
  freeform& integer(long long v);
  freeform& real(double v);   // double precision
  freeform& single(float v);  // single precision

  std::string_view view() const { return {buf_, len_}; }

 private:
  void number_start(bool negative);
  char buf_[capacity];
  std::size_t len_ = 0;
  bool last_was_number_ = false;
};

// A blank record: the free-form line of the single text " " (two blanks).
std::string_view blank_record();

}  // namespace textio
