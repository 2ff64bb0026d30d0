// The row former: one blank, fields of one width joined by commas, and a row
// too long for its buffer cut after its last whole field.
#include "models/calcium/row_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace calcium {
namespace {

TEST(RowFormer, FieldsJoinedByCommasAndCutAfterTheLastWholeField) {
  const double values[] = {1.5, -2.25, 0.0};
  const std::string whole = "  1.500E+00,-2.250E+00, 0.000E+00";
  const struct {
    std::size_t capacity;
    std::size_t length;
  } cases[] = {{64, 33}, {33, 33}, {32, 22}, {22, 22}, {21, 11}, {11, 11}, {10, 1}, {1, 1}, {0, 0}};
  for (const auto& c : cases) {
    char out[64];
    const std::size_t n = form_row(out, c.capacity, values, 10, 3);
    EXPECT_EQ(std::string(out, n), whole.substr(0, c.length)) << "capacity " << c.capacity;
  }
}

}  // namespace
}  // namespace calcium
