// A result row "(1X,1PEw.d,(n-1)(',',1PEw.d))": one blank, then the values
// as scaled scientific fields of one width and digit count, separated by
// commas. Every program forms its rows here; nothing allocates.
#pragma once

#include <cstddef>
#include <span>

namespace calcium {

// Forms the row at `out`, which has room for `capacity` characters, and
// returns its length. A row that would not fit is cut after its last whole
// field, as any line longer than the line capacity is.
std::size_t form_row(char* out, std::size_t capacity, std::span<const double> values, int width,
                     int digits);

// Writes the row as one line on output unit `unit`.
void write_row(int unit, std::span<const double> values, int width, int digits);

}  // namespace calcium
