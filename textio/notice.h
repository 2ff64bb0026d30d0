// A line on standard error that tells the user something about a run that
// goes on (its exit status is not changed by it).
#pragma once

#include <string_view>

namespace textio {

// Writes `line` and the program's line end on standard error. For the time
// before the result files are opened: standard error is then the caller's,
// /dev/null (start_run) or closed, never one of the run's files. A failed
// write is ignored.
void write_notice(std::string_view line);

}  // namespace textio
