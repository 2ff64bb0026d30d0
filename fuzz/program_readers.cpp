// The readers of the programs of models/programs.txt, found by name, and
// the calcium frame's reader that the programs built on it share.
#include "fuzz/program_readers.h"

#include <memory>

#include "calcium_programs.h"  // generated from models/programs.txt
#include "fuzz/reader_entry.h"
#include "models/calcium/parameter_file.h"

// Each program's entry, in its fuzz_reader.cpp.
#define CALCIUM_DECLARE_READER(name)                                 \
  namespace name {                                                   \
  fuzzcheck::read_outcome read_for_fuzzing(const std::string& path); \
  }
CALCIUM_PROGRAMS(CALCIUM_DECLARE_READER)
#undef CALCIUM_DECLARE_READER

namespace fuzzcheck {

namespace {

#define CALCIUM_READER(name) {#name, name::read_for_fuzzing},
const program_reader readers[] = {CALCIUM_PROGRAMS(CALCIUM_READER)};
#undef CALCIUM_READER

}  // namespace

std::span<const program_reader> programs() { return readers; }

const program_reader* find_program(std::string_view name) {
  for (const program_reader& p : readers)
    if (name == p.name) return &p;
  return nullptr;
}

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
    if (r->NSW < 1 || r->NSW > calcium::window_capacity)
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
