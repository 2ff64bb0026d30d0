// Line layouts of nilpora's data rows and report, and its stops. The report
// goes to the summary file and the console through the calcium programs'
// report copies (calcium/report_output.h), on their output units.
#pragma once

#include <string_view>

#include "textio/line.h"

namespace nilpora {

// " Y1,Y2" as 1X,1PE10.3,',',1PE10.3 (the concentration lines of the report).
void concentration_line(textio::line& out, double y1, double y2);

// " t,Y1,Y2,VMAX" as 1X,1PE12.5 and three times ',',1PE12.5 (one data row).
void data_row(textio::line& out, double t, double y1, double y2, double vmax);

// Stops before any result line is written: one line on standard error, exit 2.
[[noreturn]] void stop_before_output(std::string_view message);

// The integrator failed: three empty lines and " ERROR HALT.. ISTATE =" with
// the code in three places, on the console only; every file is flushed and
// the process ends with status 1.
[[noreturn]] void error_halt(int ISTATE);

}  // namespace nilpora
