// Fixed-width fields of the report and row layouts. Every function writes
// exactly `width` characters at `out` (never a terminator) and returns
// out + width. Nothing allocates; digits are generated exactly from the binary
// value and rounded half away from zero.
#pragma once

#include <string_view>

namespace textio {

// Scaled scientific field "1PEw.d": [blanks][-]D.ddddE+xx, three-digit
// exponents as D.dddd+xxx (no letter). Zero (either sign) is 0.dddd E+00 with
// no sign. INF / NaN right-justified with '-' when the sign bit is set.
// Asterisks when the value does not fit.
char* put_sci(char* out, double value, int width, int digits);

// Exponent field "Dw.d" of the integrator messages: [blanks][-]0.dddddE+xx
// with the letter D, d significant digits; three-digit exponents drop the
// letter. Zero is 0.000...D+00.
char* put_dexp(char* out, double value, int width, int digits);

// Integer field "Iw": right-justified, asterisks when too narrow.
char* put_int(char* out, long long value, int width);

// Fixed-point field "Fw.d": right-justified, half away from zero, "0." below
// magnitude 1, no minus sign when the rounded value is zero; asterisks when
// too narrow; INF / NaN as in put_sci.
char* put_fixed(char* out, double value, int width, int digits);

// Text field "Aw": right-justified when shorter, first `width` characters
// when longer.
char* put_text(char* out, std::string_view text, int width);

// Digit generation shared by the fields: the value |v| (finite, non-zero)
// rounded half away from zero to `count` significant decimal digits.
// Fills digits[0..count) with '0'..'9' and returns the decimal exponent e such
// that |v| ~= 0.d1d2d3... x 10^e. count is 1..40.
int significant_digits(double v, int count, char* digits);

}  // namespace textio
