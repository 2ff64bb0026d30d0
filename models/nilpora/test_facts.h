// nilpora as the end-to-end tests see it.
#pragma once

#include "testing/program_facts.h"

namespace nilpora {

inline testing_support::program_facts test_facts() {
  return {.name = "nilpora",
          .parameter_file = "NILPORA.INP",
          .line_end = "\r\n",
          .runname_length = 10,
          .runname_item = "run name",
          .lines = 6,
          .value_line = 3,    // VMAX
          .integer_line = 0,  // none
          .window_line = 0,   // none
          .phases = 0,
          .tmp_lines = 2,
          .suffixes = {".txt", "-terminal-output.txt"},
          .time_items = {"TOUT", "DTOUT", "TFINAL"}};
}

}  // namespace nilpora
