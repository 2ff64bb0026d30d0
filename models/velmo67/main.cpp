// velmo67: the current calcium model, run in the directory holding
// VELMO67.INP. Every line it writes ends with a line feed.
#include "models/calcium/run_driver.h"
#include "models/velmo67/configuration.h"
#include "textio/units.h"

int main() {
  textio::set_line_end(textio::line_end::lf);
  return calcium::run_frame(velmo67::configuration());
}
