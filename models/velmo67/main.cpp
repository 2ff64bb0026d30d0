// velmo67: the current calcium model, run in the directory holding
// VELMO67.INP. Every line it writes ends with a line feed.
#include "models/calcium/run_driver.h"
#include "models/velmo67/configuration.h"

int main() { return calcium::run_frame(velmo67::configuration()); }
