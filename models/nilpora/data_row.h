// nilpora's data row, "(1X,1PE12.5,3(',',1PE12.5))": the time column, the
// two pools and the maximal rate of the interval that ends at the row. The
// columns are the table of data_row.cpp, which the writer reads and
// calcium-layouts exports.
#pragma once

#include "models/calcium/row_layout.h"

namespace nilpora {

// What one output step's row is formed from.
struct leak_step {
  double TPRINT;
  const double* Y;  // Y(1), Y(2)
  double VMAX;
};

extern const calcium::row_layout<leak_step> data_row;

}  // namespace nilpora
