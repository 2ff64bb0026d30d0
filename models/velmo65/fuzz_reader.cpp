// velmo65's parameter-file reader as the reader fuzz target calls it: the
// calcium frame's, with velmo65's configuration.
#include "models/calcium/fuzz_reader.h"
#include "models/velmo65/configuration.h"

namespace velmo65 {

fuzzcheck::read_outcome read_for_fuzzing(const std::string& path) {
  return fuzzcheck::read_calcium_program(configuration(), path);
}

}  // namespace velmo65
