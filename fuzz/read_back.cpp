#include "fuzz/read_back.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace fuzzcheck {

bool reads_back_within_half_unit(std::string_view text, double v) {
  std::size_t b = text.find_first_not_of(' ');
  std::size_t e = text.find_last_not_of(' ');
  if (b == std::string_view::npos) return false;
  std::string s(text.substr(b, e - b + 1));
  std::size_t k = s.find_first_of("ED");
  if (k == std::string::npos) k = s.find_first_of("+-", 1);
  std::string mantissa = s.substr(0, k);
  long exponent = 0;
  if (k != std::string::npos) {
    std::string x = s.substr(s[k] == 'E' || s[k] == 'D' ? k + 1 : k);
    char* end = nullptr;
    exponent = std::strtol(x.c_str(), &end, 10);
    if (*end != '\0' || x.empty()) return false;
  }
  std::size_t point = mantissa.find('.');
  if (point == std::string::npos) return false;
  long fraction_digits = static_cast<long>(mantissa.size() - point - 1);
  std::string e_form = mantissa + "E" + std::to_string(exponent);
  char* end = nullptr;
  long double parsed = std::strtold(e_form.c_str(), &end);
  if (*end != '\0') return false;
  long double unit = std::pow(10.0L, static_cast<long double>(exponent - fraction_digits));
  long double error = std::fabs(parsed - static_cast<long double>(v));
  // Slack for strtold's own rounding to 64 bits.
  return error <= unit / 2 + std::fabs(static_cast<long double>(v)) * 0x1p-60L;
}

}  // namespace fuzzcheck
