// velmo66 as the end-to-end tests see it.
#pragma once

#include "testing/program_facts.h"

namespace velmo66 {

inline testing_support::program_facts test_facts() {
  return {.name = "velmo66",
          .parameter_file = "VELMO66.INP",
          .line_end = "\r\n",
          .runname_length = 10,
          .runname_item = "RUNNAME",
          .lines = 158,
          .value_line = 3,      // k1
          .integer_line = 151,  // NOUT
          .window_line = 152,   // NSW
          .phases = 5,
          .tmp_lines = 10,
          .suffixes = {".txt", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt",
                       "_jSOCC-Ca_lum.txt", "_ER.txt"},
          .time_items = {"TPRINT", "DTOUT", "TPHASE(1)", "TPHASE(2)", "TPHASE(3)", "TPHASE(4)",
                         "TPHASE(5)"}};
}

}  // namespace velmo66
