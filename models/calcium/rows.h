// Result rows of the calcium programs: comma-separated scaled scientific
// fields after one leading blank, no header line. Also the NOUT rule that
// decides when the row triple (data, ER, flux row) is due.
//
// The columns of each row are tables (rows.cpp) that the writer reads and
// calcium-layouts exports; a program's configuration names the layouts it
// writes (frame_config::rows).
//   data row   15.6 x 39 (624 characters; velmo65 writes the first 34)
//   ER row     15.6 x 10 (160)
//   flux row   15.4 x 16 (256)
//   window row 12.4 x 2  (26): TPRINT, <Ca_cyt>sw
//   store row  12.4 x 2  (26): Ca_lum, jSOCC
#pragma once

#include "models/calcium/derived.h"
#include "models/calcium/frame_config.h"
#include "models/calcium/optics.h"
#include "models/calcium/row_layout.h"

namespace calcium {

// NOUT rule: NOUT 0 always due; negative never; positive when the count of
// output steps since the last triple reaches NOUT (the count then restarts).
// `ncount` carries over between phases.
bool row_triple_due(int nout, int& ncount);

// Everything a step's rows are formed from.
struct step_values {
  double tprint;
  const double* Y;  // clamped state, indexed by species
  const derived_quantities* d;
  const indicator* optics;
  double window_mean;  // <Ca_cyt>sw
  rate_constants k;
};

// The rows of one program's result files.
struct frame_rows {
  row_layout<step_values> data;    // run name + ".txt"
  row_layout<step_values> er;      // run name + "_ER.txt"
  row_layout<step_values> flux;    // run name + "_fluxes.txt"
  row_layout<step_values> window;  // run name + "_sw.txt"
  row_layout<step_values> store;   // run name + "_jSOCC-Ca_lum.txt": one row a phase end
};

// The rows of versions 66 and 67: the 39-column data row and the others.
extern const frame_rows version67_rows;

}  // namespace calcium
