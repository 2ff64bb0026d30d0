// The calcium frame's reader as the reader fuzz target calls it for the
// programs built on the frame (built with that target, not into the frame's
// library).
#include "models/calcium/fuzz_reader.h"

#include <memory>

#include "models/calcium/oscillation.h"
#include "models/calcium/parameter_file.h"

namespace fuzzcheck {

read_outcome read_calcium_program(const calcium::frame_config& program_cfg,
                                  const std::string& path) {
  calcium::frame_config cfg = program_cfg;
  cfg.input.file_name = path.c_str();
  auto r = std::make_unique<calcium::run_state>();
  read_outcome o;
  o.ok = calcium::read_parameter_file(cfg, *r, &o.err);
  auto& v = o.values;
  put(v, r->RUNNAME, r->runname_length);
  put(v, r->TPRINT);
  put(v, r->DTOUT);
  put(v, r->TPHASE);
  put(v, r->duration);
  for (int s = 0; s < calcium::ratcon_slots; ++s) put(v, cfg.ratcon[s]);
  for (int i = 0; i < cfg.input.phase_change_lines; ++i) {
    put(v, r->phase_change[i][0]);
    put(v, r->phase_change[i][1]);
  }
  put(v, r->Y);
  for (int n : r->NOUT) put(v, n);
  put(v, r->nout);
  put(v, r->NSW);
  put(v, r->OFFSET);
  put_bands(v, r->optics.BAND);
  if (o.ok) {
    if (!calcium::window_length_ok(r->NSW))
      o.broken_promise = "accepted window length " + std::to_string(r->NSW);
    else if (r->DTOUT < 0.0)
      o.broken_promise = "accepted a negative DTOUT";
    else if (!all_finite({r->TPRINT, r->DTOUT, r->TPHASE[0], r->TPHASE[1], r->TPHASE[2],
                          r->TPHASE[3], r->TPHASE[4]}))
      o.broken_promise = "accepted a NaN or infinite time";
    else if (!calcium::set_up_after_reading(cfg, *r))  // sizes the window by NSW
      o.broken_promise = "set-up refused window length " + std::to_string(r->NSW);
  }
  return o;
}

}  // namespace fuzzcheck
