// The legends and readings of calcium-layouts as JSON.
#pragma once

#include <string>
#include <vector>

#include "models/calcium/layout_doc.h"

namespace layouts {

// {"programs": [...]}: per program its parameter file, run-name length, line
// end, phases and row control, every file (suffix or fixed name, columns or
// records), every parameter value (line, item, name, meaning, kind) and the
// end-of-phase concentration lines.
std::string legend_json(const std::vector<calcium::program_doc>& programs);

// What `program`'s reader made of a parameter file: accepted or the
// program's message, and every value of the layout with its line and item
// (reals also as their IEEE bit pattern, texts as bytes U+0000..U+00FF).
std::string reading_json(const std::string& program, const calcium::parameter_reading& r);

// "1PE15.6"
std::string field_format(int width, int digits);

}  // namespace layouts
