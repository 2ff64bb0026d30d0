// Checks on values the parameter-file reader took but a run cannot use. Each
// gives the reason, for the reader's error line, or an empty text.
#pragma once

#include <string>
#include <string_view>

namespace textio {

// A time of the run (a start, an interval, a duration) that is NaN or
// infinite never lets a phase or the output loop end:
// "<role> must be a finite number, found NaN" (or INF, -INF, -NaN).
std::string non_finite_time(std::string_view role, double value);

}  // namespace textio
