// velmo66's parameter-file reader as the reader fuzz target calls it: the
// calcium frame's, with velmo66's configuration.
#include "models/calcium/fuzz_reader.h"
#include "models/velmo66/configuration.h"

namespace velmo66 {

fuzzcheck::read_outcome read_for_fuzzing(const std::string& path) {
  return fuzzcheck::read_calcium_program(configuration(), path);
}

}  // namespace velmo66
