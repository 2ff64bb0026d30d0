#include "models/velmo66/configuration.h"

#include "models/calcium/rows.h"
#include "models/velmo67/configuration.h"

namespace velmo66 {

namespace {

// Three phase-change lines fewer than velmo67 in the middle part: from line
// 110 on every line is velmo67's line three further down.
constexpr int two_value_lines[] = {82, 84, 106, 110, 127, 129, 132, 136};

constexpr calcium::phase_switch switches[] = {
    // phase, constant kN, line, value of that line
    {2, 23, 95, 1},                                                     //
    {3, 23, 118, 1},                                                    //
    {4, 1, 127, 1},  {4, 2, 128, 1},  {4, 3, 129, 1}, {4, 20, 130, 1},  //
    {4, 63, 131, 1}, {4, 73, 132, 1},                                   //
    {5, 1, 134, 1},  {5, 2, 135, 1},  {5, 3, 136, 1}, {5, 20, 137, 1},  //
    {5, 63, 140, 1}, {5, 73, 141, 1}};

// velmo67's table without k46, k77 and k78.
constexpr int rate_constant_report[] = {1,  2,  3,  63, 4,  64, 5,  60, 6,  61, 7,  62,
                                        8,  9,  10, 11, 12, 67, 13, 68, 16, 18, 19, 20,
                                        21, 22, 23, 25, 26, 27, 36, 38, 71, 72, 73};

}  // namespace

const calcium::frame_config& configuration() {
  // velmo67's model, files and analyses with the differences of version 66.
  static const calcium::frame_config cfg = [] {
    calcium::frame_config c = velmo67::configuration();
    c.input.file_name = "VELMO66.INP";
    c.input.phase_change_lines = 61;
    c.input.two_value_lines = two_value_lines;
    c.switches = switches;
    c.rate_constant_report = rate_constant_report;
    c.cpu_time_lines = false;
    c.line_end = textio::line_end::crlf;
    c.rows = &calcium::version67_rows;  // column for column
    return c;
  }();
  return cfg;
}

}  // namespace velmo66
