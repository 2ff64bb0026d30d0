// Reads a written number back (E or D exponent, or the form whose exponent has
// no letter) and tells whether it lies within half a unit of its last digit
// of `v`. Independent of the exact reference: a cross-check of both.
#pragma once

#include <string_view>

namespace fuzzcheck {

bool reads_back_within_half_unit(std::string_view text, double v);

}  // namespace fuzzcheck
