// The stops of nilpora. Its report goes to the summary file and the console
// through the calcium programs' report copies (calcium/report_output.h).
#pragma once

#include <string_view>

namespace nilpora {

// Stops before any result line is written: one line on standard error, exit 2.
[[noreturn]] void stop_before_output(std::string_view message);

// The integrator failed: three empty lines and " ERROR HALT.. ISTATE =" with
// the code in three places, on the console only; every file is flushed and
// the process ends with status 1.
[[noreturn]] void error_halt(int ISTATE);

}  // namespace nilpora
