// Lines on standard error: what ended a run, why it cannot start, and notes
// about a run that goes on. Below the output units and the exit path, so
// that both may write them.
#pragma once

#include <string_view>

namespace textio {

// Writes `text` and the program's line end on standard error. The line is
// written even after the run's writes ended (signal_write.h); a stop signal
// that comes while it waits then ends it.
void write_error_line(std::string_view text);

// Whether standard error takes the lines: not when it was closed at the
// start of the run and could not be given /dev/null.
void set_error_lines_usable(bool usable);

}  // namespace textio
