// nilpora: two-pool saturable calcium leak with a rising maximal rate.
#include "models/nilpora/leak_run.h"

int main() { return nilpora::run_program(); }
