// Report outputs of nilpora: the summary file (unit 5) and the console get the
// same lines; which copy goes first is fixed per line.
#pragma once

#include <string_view>

#include "textio/line.h"

namespace nilpora {

inline constexpr int summary_unit = 5;
inline constexpr int data_unit = 8;
inline constexpr int run_info_unit = 9;

enum class order { summary_console, console_summary };

void write_summary(std::string_view text);
void write_console(std::string_view text);
void write_both(order o, std::string_view text);

// " Y1,Y2" as 1X,1PE10.3,',',1PE10.3 (the concentration lines of the report).
void concentration_line(textio::line& out, double y1, double y2);

// " t,Y1,Y2,VMAX" as 1X,1PE12.5 and three times ',',1PE12.5 (one data row).
void data_row(textio::line& out, double t, double y1, double y2, double vmax);

}  // namespace nilpora
