// velmo66's legend and its reader as calcium-layouts calls them: the calcium
// frame's, with velmo66's configuration.
#include "models/calcium/layout_doc.h"
#include "models/velmo66/configuration.h"

namespace velmo66 {

calcium::program_doc layout_doc() { return calcium::frame_program_doc("velmo66", configuration()); }

calcium::parameter_reading read_as_program(const std::string& path) {
  return calcium::read_as_frame_program(configuration(), path);
}

}  // namespace velmo66
