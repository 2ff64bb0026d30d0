// How a run ends. A run is the body given to run(), which starts it and
// returns its exit status when the body returns or one of the stops below
// ends it; the program's main returns that status. The statuses:
//   0             a normal end, every line written;
//   1             the integrator ended the run (ERROR HALT, a fatal message)
//                 or output could not be written: one line on standard
//                 error says which, and where the integrator's messages are;
//   2             the parameter file or a result file cannot be used: one
//                 line on standard error, no result file touched;
//   128 + signal  SIGINT, SIGTERM or SIGHUP: what the run produced is written
//                 out in whole lines and every file closed. One more while
//                 the run stops (waiting to write to a pipe nobody reads)
//                 ends every write at once, and names the status: each file
//                 keeps the whole lines it has, and the line on standard
//                 error names what could not be written.
// Every line on standard error ends with the program's line end.
#pragma once

#include <functional>
#include <string_view>

#include "textio/signal_write.h"

namespace textio {

inline constexpr int exit_normal = 0;
inline constexpr int exit_run_failed = 1;
inline constexpr int exit_unusable_input = 2;
inline constexpr int exit_signal_base = 128;

// Runs `body` as a whole run: start_run(), then `body`, then finish_run().
// A stop inside `body` (the stops below, the integrator's fatal message)
// leaves it there, the objects of `body` destroyed on the way, and ends the
// run as that stop says: every file written out and closed, the line on
// standard error, the status returned.
int run(const std::function<void()>& body);

// Called by run() before anything else. Forgets what an earlier run in this
// process left (units, failures, protected inputs); gives a closed standard
// input, output or error /dev/null so that no result file takes its number
// (a closed standard output still counts as output that could not be
// written); makes a vanished console reader and a file size limit write
// failures instead of a silent death (SIGPIPE and SIGXFSZ ignored); and lets
// SIGINT, SIGTERM and SIGHUP, unless ignored on entry, request a stop.
void start_run();

// The normal end, called by run() when its body returns: closes every unit
// and releases the locks; returns the exit status, 0 unless output could not
// be written (1, reported) or a stop signal came (128 + signal).
int finish_run();

// The stops: each ends the run inside run()'s body. Outside run() they have
// nowhere to go (the process aborts).

// Stops before any output: `line` on standard error, status 2 (or 128 +
// signal when a stop signal came, which may be what cut the input short).
[[noreturn]] void stop_before_output(std::string_view line);

// The integrator failed with a negative ISTATE: three empty lines and
// " ERROR HALT.. ISTATE =" with the code in a field of three characters on
// the console, then stop_run.
[[noreturn]] void error_halt(int istate);

// Ends the run early with status 1; `cause` (what ended the run) opens the
// line on standard error.
[[noreturn]] void stop_run(std::string_view cause);

// After a stop signal the run ends here with 128 + signal; else returns. The
// one check that turns a stop signal into the end of the run: at every
// output step, after every wait, before the result files are opened.
void stop_if_signalled();

// Ends the run with `status`. Output that could not be written is reported
// and turns a status 0 into 1.
[[noreturn]] void stop(int status);

// One line on standard error about a run that goes on.
void warn(std::string_view line);

}  // namespace textio
