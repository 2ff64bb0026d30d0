// velmo67 as the end-to-end tests see it.
#pragma once

#include "testing/program_facts.h"

namespace velmo67 {

inline testing_support::program_facts test_facts() {
  return {.name = "velmo67",
          .parameter_file = "VELMO67.INP",
          .line_end = "\n",
          .runname_length = 10,
          .runname_item = "RUNNAME",
          .lines = 161,
          .value_line = 3,      // k1
          .integer_line = 154,  // NOUT
          .window_line = 155,   // NSW
          .phases = 5,
          .tmp_lines = 10,
          .suffixes = {".txt", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt",
                       "_jSOCC-Ca_lum.txt", "_ER.txt"},
          .time_items = {"TPRINT", "DTOUT", "TPHASE(1)", "TPHASE(2)", "TPHASE(3)", "TPHASE(4)",
                         "TPHASE(5)"}};
}

}  // namespace velmo67
