// velmo65: calcium model version 65, run in the directory holding
// VELMO65.INP. Every line it writes ends with a carriage return and a line
// feed; the integrator's messages go to standard output.
#include "models/calcium/run_driver.h"
#include "models/velmo65/configuration.h"

int main() { return calcium::run_frame(velmo65::configuration()); }
