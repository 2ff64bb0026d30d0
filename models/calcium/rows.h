// Result rows of the calcium programs: comma-separated scaled scientific
// fields after one leading blank, no header line. Also the NOUT rule that
// decides when the row triple (data, ER, flux row) is due.
//
// Row layouts (width.digits, fields):
//   data row   15.6 x 39 (624 characters; velmo65 writes the first 34)
//   ER row     15.6 x 10 (160)
//   flux row   15.4 x 16 (256)
//   window row 12.4 x 2  (26): TPRINT, <Ca_cyt>sw
//   store row  12.4 x 2  (26): Ca_lum, jSOCC
#pragma once

#include "models/calcium/derived.h"
#include "models/calcium/frame_config.h"
#include "models/calcium/optics.h"

namespace calcium {

inline constexpr int data_row_fields = 39;

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

// The first `columns` (up to data_row_fields) fields of the data row.
void write_data_row(int unit, const step_values& s, int columns);
void write_er_row(int unit, const step_values& s);
void write_flux_row(int unit, const step_values& s);
void write_window_row(int unit, double tprint, double window_mean);
void write_store_row(int unit, double ca_lum, double jsocc);

}  // namespace calcium
