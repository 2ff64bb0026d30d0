// Checks on values the parameter-file reader took but a run cannot use,
// reported like the reader's own errors: file, line, item, what is wrong.
#pragma once

#include <string_view>

#include "textio/value_reader.h"

namespace textio {

// A time of the run (a start, an interval, a duration) that is NaN or
// infinite never lets a phase or the output loop end: false with *err
// "<file> line <n>: <item>: <role> must be a finite number, found NaN", the
// line being the last one `in` has read.
bool require_finite_time(const value_reader& in, std::string_view item, std::string_view role,
                         double value, read_error* err);

}  // namespace textio
