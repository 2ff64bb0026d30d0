// nilpora: two-pool saturable calcium leak with a rising maximal rate.
#include "models/calcium/program.h"
#include "models/nilpora/program.h"

int main() { return calcium::run_program(nilpora::program()); }
