#include "models/calcium/program.h"
#include "models/velmo64v6/program.h"

int main() { return calcium::run_program(velmo64v6::program()); }
