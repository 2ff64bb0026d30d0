// velmo64v6 as the end-to-end tests see it.
#pragma once

#include "testing/program_facts.h"

namespace velmo64v6 {

inline testing_support::program_facts test_facts() {
  return {.name = "velmo64v6",
          .parameter_file = "VELMO64v6.INP",
          .line_end = "\r\n",
          .runname_length = 12,
          .runname_item = "RUNNAME",
          .lines = 110,
          .value_line = 3,      // K1
          .integer_line = 104,  // NSW
          .window_line = 104,   // NSW
          .phases = 5,
          .tmp_lines = 10,
          .suffixes = {".txt", ".INP", "_summary.txt", "_sw.txt", "_fluxes.txt", "_spec.txt",
                       "_ER.txt"},
          .time_items = {"TPRINT", "DTOUT", "TPHASE(1)", "TPHASE(2)", "TPHASE(3)", "TPHASE(4)",
                         "TPHASE(5)"}};
}

}  // namespace velmo64v6
