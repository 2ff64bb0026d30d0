#include "models/nilpora/data_row.h"

namespace nilpora {

namespace {

using col = calcium::column<leak_step>;

double tprint(const leak_step& s) { return s.TPRINT; }
double source_pool(const leak_step& s) { return s.Y[0]; }
double receiving_pool(const leak_step& s) { return s.Y[1]; }
double vmax(const leak_step& s) { return s.VMAX; }

constexpr col columns[] = {
    {"TPRINT", "time column: the output time TOUT, from the first value of line 2", tprint},
    {"Y(1)", "source pool", source_pool},
    {"Y(2)", "receiving pool", receiving_pool},
    {"VMAX",
     "maximal leak rate over the interval that ends here: (1 - exp(-(KACT * TOUT))) * VMAX0", vmax},
};

}  // namespace

constinit const calcium::row_layout<leak_step> data_row = calcium::make_row_layout<columns>(12, 5);

}  // namespace nilpora
