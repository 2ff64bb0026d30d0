// The integrator's message writer: one text line, then the message's integer
// and real values on their own lines, to the message unit of message_control.
#pragma once

#include <string_view>

#include "integrator/message_texts.h"

namespace integrator {

// MSG holds the text blank-padded to whole groups of four characters; NMES is
// its length without the padding (at most 60 characters are written). NI and
// NR (0..2) say how many of I1, I2 and R1, R2 follow. NERR is the message
// number (not printed). LEVEL 2 is fatal: after the text the run ends
// (textio::stop_run) with status 1, every open file flushed and closed, and a
// line on standard error quotes the text; any other level returns.
void write_message(std::string_view MSG, int NMES, int NERR, int LEVEL, int NI, int I1, int I2,
                   int NR, double R1, double R2);

// One line of the message table, its length taken from its text.
inline void write_message(const message_line& line, int LEVEL, int NI = 0, int I1 = 0, int I2 = 0,
                          int NR = 0, double R1 = 0.0, double R2 = 0.0) {
  write_message(line.text, static_cast<int>(line.text.size()), line.number, LEVEL, NI, I1, I2, NR,
                R1, R2);
}

}  // namespace integrator
