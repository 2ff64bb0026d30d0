// nilpora's parameter-file reader as the reader fuzz target calls it.
#include "testing/fuzz_reader.h"
#include "models/nilpora/parameter_file.h"

namespace nilpora {

fuzzcheck::read_outcome read_for_fuzzing(const std::string& path) {
  using fuzzcheck::put;
  run_input in;
  fuzzcheck::read_outcome o;
  o.ok = read_parameter_file(path, &in, &o.err);
  auto& v = o.values;
  put(v, in.RUNNAME, runname_length);
  for (double d : {in.TOUT, in.DTOUT, in.TFINAL, in.VMAX0, in.KM, in.KACT, in.Y[0], in.Y[1]})
    put(v, d);
  if (o.ok && output_interval_never_ends(in.TOUT, in.DTOUT, in.TFINAL))
    o.broken_promise = "accepted an output interval that never reaches TFINAL";
  else if (o.ok && !fuzzcheck::all_finite({in.TOUT, in.DTOUT, in.TFINAL}))
    o.broken_promise = "accepted a NaN or infinite time";
  return o;
}

}  // namespace nilpora
