#include "fuzz/program_readers.h"

#include <cstring>
#include <memory>

#include "models/calcium/parameter_file.h"
#include "models/nilpora/parameter_file.h"
#include "models/velmo64v6/parameters.h"
#include "models/velmo65/configuration.h"
#include "models/velmo66/configuration.h"
#include "models/velmo67/configuration.h"

namespace fuzzcheck {

namespace {

void put(std::vector<std::uint64_t>& out, double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  out.push_back(bits);
}
void put(std::vector<std::uint64_t>& out, int v) { out.push_back(static_cast<std::uint32_t>(v)); }
void put(std::vector<std::uint64_t>& out, const char* text, int len) {
  for (int i = 0; i < len; ++i) out.push_back(static_cast<unsigned char>(text[i]));
}
template <int N>
void put(std::vector<std::uint64_t>& out, const double (&v)[N]) {
  for (double d : v) put(out, d);
}

void put_bands(std::vector<std::uint64_t>& out, const calcium::band (&bands)[3]) {
  for (const calcium::band& b : bands) {
    put(out, b.epsilon);
    put(out, b.sigma);
    put(out, b.lamda);
  }
}

// A calcium-frame program: its configuration with the file name swapped,
// then the frame's reader and the set-up the program runs after it.
read_outcome read_calcium(const calcium::frame_config& program_cfg, const std::string& path) {
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
    else if (!calcium::set_up_after_reading(cfg, *r))  // sizes the window by NSW
      o.broken_promise = "set-up refused window length " + std::to_string(r->NSW);
  }
  return o;
}

read_outcome read_velmo67(const std::string& path) {
  return read_calcium(velmo67::configuration(), path);
}
read_outcome read_velmo66(const std::string& path) {
  return read_calcium(velmo66::configuration(), path);
}
read_outcome read_velmo65(const std::string& path) {
  return read_calcium(velmo65::configuration(), path);
}

read_outcome read_velmo64v6(const std::string& path) {
  auto p = std::make_unique<velmo64v6::parameters>();
  read_outcome o;
  o.ok = velmo64v6::read_parameters(path, p.get(), &o.err);
  auto& v = o.values;
  put(v, p->RUNNAME, velmo64v6::runname_length);
  put(v, p->TPRINT0);
  put(v, p->DTOUT);
  put(v, p->TPHASE);
  put(v, p->k);
  const velmo64v6::phase_changes& c = p->pc;
  for (double d :
       {c.K1P2,  c.K1P2COEFF, c.K2P2,  c.K3P2,  c.K3P2COEFF, c.K23P2, c.K27P2,     c.K30P2,
        c.K38P2, c.K56P2,     c.K63P2, c.K1P3,  c.K2P3,      c.K3P3,  c.K3P3COEFF, c.K23P3,
        c.K27P3, c.K30P3,     c.K38P3, c.K56P3, c.K63P3,     c.K1P4,  c.K1P4COEFF, c.K2P4,
        c.K3P4,  c.K3P4COEFF, c.K63P4, c.K1P5,  c.K2P5,      c.K3P5,  c.K3P5COEFF, c.K63P5})
    put(v, d);
  put(v, p->Y);
  put(v, p->NSW);
  put(v, p->OFFSET);
  put_bands(v, p->BAND);
  put(v, p->K1READ);
  put(v, p->K3READ);
  if (o.ok) {
    if (p->NSW < 1 || p->NSW > calcium::window_capacity)
      o.broken_promise = "accepted window length " + std::to_string(p->NSW);
    else if (p->DTOUT < 0.0)
      o.broken_promise = "accepted a negative DTOUT";
    else
      velmo64v6::load_rate_constants(*p);
  }
  return o;
}

read_outcome read_nilpora(const std::string& path) {
  nilpora::run_input in;
  read_outcome o;
  o.ok = nilpora::read_parameter_file(path, &in, &o.err);
  auto& v = o.values;
  put(v, in.RUNNAME, nilpora::runname_length);
  for (double d : {in.TOUT, in.DTOUT, in.TFINAL, in.VMAX0, in.KM, in.KACT, in.Y[0], in.Y[1]})
    put(v, d);
  if (o.ok && nilpora::output_interval_never_ends(in.TOUT, in.DTOUT, in.TFINAL))
    o.broken_promise = "accepted an output interval that never reaches TFINAL";
  return o;
}

const program_reader programs[] = {{"velmo67", read_velmo67},
                                   {"velmo66", read_velmo66},
                                   {"velmo65", read_velmo65},
                                   {"velmo64v6", read_velmo64v6},
                                   {"nilpora", read_nilpora}};

}  // namespace

unsigned program_count() { return sizeof programs / sizeof programs[0]; }
const program_reader& program(unsigned which) { return programs[which % program_count()]; }

}  // namespace fuzzcheck
