// velmo64v6's parameter-file reader as the reader fuzz target calls it:
// read_parameters, then load_rate_constants when the values are usable.
#include <memory>

#include "models/calcium/fuzz_reader.h"
#include "models/calcium/oscillation.h"
#include "models/velmo64v6/parameters.h"

namespace velmo64v6 {

fuzzcheck::read_outcome read_for_fuzzing(const std::string& path) {
  using fuzzcheck::put;
  auto p = std::make_unique<parameters>();
  fuzzcheck::read_outcome o;
  o.ok = read_parameters(path, p.get(), &o.err);
  auto& v = o.values;
  put(v, p->RUNNAME, runname_length);
  put(v, p->TPRINT0);
  put(v, p->DTOUT);
  put(v, p->TPHASE);
  put(v, p->k);
  const phase_changes& c = p->pc;
  for (double d :
       {c.K1P2,  c.K1P2COEFF, c.K2P2,  c.K3P2,  c.K3P2COEFF, c.K23P2, c.K27P2,     c.K30P2,
        c.K38P2, c.K56P2,     c.K63P2, c.K1P3,  c.K2P3,      c.K3P3,  c.K3P3COEFF, c.K23P3,
        c.K27P3, c.K30P3,     c.K38P3, c.K56P3, c.K63P3,     c.K1P4,  c.K1P4COEFF, c.K2P4,
        c.K3P4,  c.K3P4COEFF, c.K63P4, c.K1P5,  c.K2P5,      c.K3P5,  c.K3P5COEFF, c.K63P5})
    put(v, d);
  put(v, p->Y);
  put(v, p->NSW);
  put(v, p->OFFSET);
  fuzzcheck::put_bands(v, p->BAND);
  put(v, p->K1READ);
  put(v, p->K3READ);
  if (o.ok) {
    if (!calcium::window_length_ok(p->NSW))
      o.broken_promise = "accepted window length " + std::to_string(p->NSW);
    else if (p->DTOUT < 0.0)
      o.broken_promise = "accepted a negative DTOUT";
    else if (!fuzzcheck::all_finite({p->TPRINT0, p->DTOUT, p->TPHASE[0], p->TPHASE[1], p->TPHASE[2],
                                     p->TPHASE[3], p->TPHASE[4]}))
      o.broken_promise = "accepted a NaN or infinite time";
    else
      load_rate_constants(*p);
  }
  return o;
}

}  // namespace velmo64v6
