// velmo65 as the end-to-end tests see it.
#pragma once

#include "testing/program_facts.h"

namespace velmo65 {

inline testing_support::program_facts test_facts() {
  return {.name = "velmo65",
          .parameter_file = "VELMO65.INP",
          .line_end = "\r\n",
          .runname_length = 11,
          .runname_item = "RUNNAME",
          .lines = 158,
          .value_line = 3,      // k1
          .integer_line = 151,  // NOUT
          .window_line = 152,   // NSW
          .phases = 5,
          .tmp_lines = 10,
          .suffixes = {".txt", "_summary.txt", "_fluxes.txt"},
          .time_items = {"TPRINT", "DTOUT", "TPHASE(1)", "TPHASE(2)", "TPHASE(3)", "TPHASE(4)",
                         "TPHASE(5)"}};
}

}  // namespace velmo65
