// The texts the textio fields must produce, built from the exact decimal
// reference. Where the layout rules leave a choice, every admissible text is
// returned.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fuzzcheck {

std::string expected_sci(double v, int width, int digits);                 // 1PEw.d
std::string expected_dexp(double v, int width, int digits);                // Dw.d
std::vector<std::string> expected_fixed(double v, int width, int digits);  // Fw.d
std::string expected_int(long long v, int width);                          // Iw
std::string expected_text(std::string_view s, int width);                  // Aw

// One number item of a free-form line, with its two leading characters
// (two blanks, or a blank and the minus sign). Finite values only.
std::vector<std::string> expected_free_real(double v);
std::vector<std::string> expected_free_single(float v);
std::string expected_free_integer(long long v);

}  // namespace fuzzcheck
