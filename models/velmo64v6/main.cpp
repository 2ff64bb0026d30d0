#include "models/velmo64v6/driver.h"

int main() { return velmo64v6::run_program(); }
