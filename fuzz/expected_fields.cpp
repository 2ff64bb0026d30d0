#include "fuzz/expected_fields.h"

#include <cmath>
#include <cstdlib>

#include "fuzz/exact_decimal.h"

namespace fuzzcheck {
namespace {

std::string right_justified(const std::string& body, int width) {
  if (static_cast<int>(body.size()) > width) return std::string(width, '*');
  return std::string(width - body.size(), ' ') + body;
}

std::string non_finite(double v) {
  return std::string(std::signbit(v) ? "-" : "") + (std::isnan(v) ? "NaN" : "INF");
}

// D.ddd with the letter and a two-digit exponent, or the sign and three
// digits without the letter.
std::string exponent_part(char letter, int e) {
  if (e >= -99 && e <= 99) return letter + exponent_text(e, 2);
  return exponent_text(e, 3);
}

// Free-form numbers: fixed form with `sig` significant digits for zero and
// for low <= |v| < high, otherwise D.<sig digits>E<exponent>. At the two
// bounds, where rounding to `sig` digits reaches the bound, either form is
// accepted.
std::vector<std::string> free_number(double v, int sig, double high, int exp_width) {
  std::string lead = std::signbit(v) && v != 0.0 ? " -" : "  ";
  if (v == 0.0) return {"  0." + std::string(sig, '0')};
  decimal x = exact_decimal(v);
  double a = std::fabs(v);
  auto fixed_form = [&] {
    decimal r = round_significant(x, sig);
    return lead + fixed_text(r, sig - r.exp);
  };
  auto exp_form = [&] {
    decimal r = round_significant(x, sig + 1);
    return lead + r.digits.substr(0, 1) + "." + r.digits.substr(1) + "E" +
           exponent_text(r.exp - 1, exp_width);
  };
  bool in_fixed = a >= 0.1 && a < high;
  decimal r = round_significant(x, sig);
  bool at_bound = (r.digits[0] == '1' && r.digits.find_first_not_of('0', 1) == std::string::npos &&
                   (r.exp == 0 || std::pow(10.0, r.exp - 1) == high));
  if (at_bound) return {fixed_form(), exp_form()};
  return {in_fixed ? fixed_form() : exp_form()};
}

}  // namespace

std::string expected_sci(double v, int width, int digits) {
  if (!std::isfinite(v)) return right_justified(non_finite(v), width);
  if (v == 0.0) return right_justified("0." + std::string(digits, '0') + "E+00", width);
  decimal r = round_significant(exact_decimal(v), digits + 1);
  std::string body = std::string(v < 0 ? "-" : "") + r.digits[0] + "." + r.digits.substr(1) +
                     exponent_part('E', r.exp - 1);
  return right_justified(body, width);
}

std::string expected_dexp(double v, int width, int digits) {
  if (!std::isfinite(v)) return right_justified(non_finite(v), width);
  if (v == 0.0) return right_justified("0." + std::string(digits, '0') + "D+00", width);
  decimal r = round_significant(exact_decimal(v), digits);
  std::string body = std::string(v < 0 ? "-" : "") + "0." + r.digits + exponent_part('D', r.exp);
  return right_justified(body, width);
}

std::vector<std::string> expected_fixed(double v, int width, int digits) {
  if (!std::isfinite(v)) return {right_justified(non_finite(v), width)};
  decimal r = round_places(exact_decimal(v), digits);
  bool negative = v < 0 && !r.digits.empty();
  std::string body = std::string(negative ? "-" : "") + fixed_text(r, digits);
  std::vector<std::string> out{right_justified(body, width)};
  // One character too wide only because of the 0 before the point: the
  // zero may be dropped instead of filling with asterisks.
  bool below_one = r.digits.empty() || r.exp <= 0;
  if (below_one && static_cast<int>(body.size()) == width + 1) {
    std::string shorter = body;
    shorter.erase(negative ? 1 : 0, 1);
    out.push_back(shorter);
  }
  return out;
}

std::string expected_int(long long v, int width) {
  return right_justified(std::to_string(v), width);
}

std::string expected_text(std::string_view s, int width) {
  if (static_cast<int>(s.size()) >= width) return std::string(s.substr(0, width));
  return std::string(width - s.size(), ' ') + std::string(s);
}

std::vector<std::string> expected_free_real(double v) { return free_number(v, 15, 1e15, 3); }

std::vector<std::string> expected_free_single(float v) { return free_number(v, 6, 1e6, 2); }

std::string expected_free_integer(long long v) {
  if (v >= 0) return "  " + std::to_string(v);
  unsigned long long m = 0ULL - static_cast<unsigned long long>(v);
  return " -" + std::to_string(m);
}

}  // namespace fuzzcheck
