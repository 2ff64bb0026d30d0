// velmo66: calcium model version 66, run in the directory holding
// VELMO66.INP. Every line it writes ends with a carriage return and a line
// feed.
#include "models/calcium/run_driver.h"
#include "models/velmo66/configuration.h"
#include "textio/units.h"

int main() {
  textio::set_line_end(textio::line_end::crlf);
  return calcium::run_frame(velmo66::configuration());
}
