#include "models/velmo64v6/driver.h"

int main() { velmo64v6::run_program(); }
