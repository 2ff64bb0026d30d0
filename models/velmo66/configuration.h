// velmo66 as a configuration of the calcium run frame: velmo67's network,
// result files and analyses with a 158-line parameter file, a k23 switch in
// phase 2, a 35-line rate-constant table, no CPU-time lines and CR LF line
// ends.
#pragma once

#include "models/calcium/frame_config.h"

namespace velmo66 {

const calcium::frame_config& configuration();

// The parameter layout of version 66, which velmo65 reads too: 61
// phase-change lines, three fewer than velmo67's in the middle part (from
// line 110 on every line is velmo67's line three further down), and these
// lines holding two values.
inline constexpr int phase_change_lines = 61;
inline constexpr int two_value_lines[] = {82, 84, 106, 110, 127, 129, 132, 136};

// The rate constants of version 66's phase reports, in order (velmo65's
// too): velmo67's table without k46, k77 and k78.
inline constexpr int rate_constant_report[] = {1,  2,  3,  63, 4,  64, 5,  60, 6,  61, 7,  62,
                                               8,  9,  10, 11, 12, 67, 13, 68, 16, 18, 19, 20,
                                               21, 22, 23, 25, 26, 27, 36, 38, 71, 72, 73};

}  // namespace velmo66
