// velmo66: calcium model version 66, run in the directory holding
// VELMO66.INP. Every line it writes ends with a carriage return and a line
// feed.
#include "models/calcium/run_driver.h"
#include "models/velmo66/configuration.h"

int main() { return calcium::run_frame(velmo66::configuration()); }
