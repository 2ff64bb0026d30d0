// The program-wide line end: of every line of every file, the console and
// standard error.
#pragma once

namespace textio {

enum class line_end { lf, crlf };

void set_line_end(line_end end);
line_end current_line_end();

}  // namespace textio
