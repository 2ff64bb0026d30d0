#include "models/velmo64v6/parameters.h"

#include "models/calcium/parameter_lines.h"
#include "models/velmo64v6/network.h"
#include "models/velmo64v6/parameter_layout.h"
#include "textio/run_name.h"

namespace velmo64v6 {

namespace {

using textio::real;

}  // namespace

bool read_parameters(const std::string& file, parameters* p, textio::read_error* err,
                     std::string* run_name_notice) {
  textio::value_reader in(file);
  phase_changes& pc = p->pc;

  if (!textio::read_run_name(in, "RUNNAME", p->RUNNAME, runname_length, run_name_notice, err))
    return false;
  if (!calcium::read_time_line(in, p->TPRINT0, p->DTOUT, p->TPHASE, err)) return false;

  for (int n = 1; n <= 68; ++n) {
    if (!in.read({real(rate_lines[n - 1].name, p->k[n])}, err)) return false;
    if (n == 1) p->K1READ = p->k[1];
    if (n == 3) p->K3READ = p->k[3];
  }

  for (const phase_line& line : phase_lines) {
    bool ok =
        line.coeff_name
            ? in.read({real(line.name, pc.*line.value), real(line.coeff_name, pc.*line.coeff)}, err)
            : in.read({real(line.name, pc.*line.value)}, err);
    if (!ok) return false;
  }

  for (const state_line& line : state_lines)
    if (!calcium::read_state_line(in, p->Y, line.element, species_label, err)) return false;

  if (!calcium::read_window_length(in, p->NSW, err) ||
      !calcium::read_thresholds(in, p->OFFSET, err) || !calcium::read_bands(in, p->BAND, err))
    return false;
  p->Y[Ca_cyt_int] = 0.0;
  return true;
}

void load_rate_constants(const parameters& p) {
  for (double& slot : ratcon) slot = 0.0;
  for (int n = 1; n <= 68; ++n) k(n) = p.k[n];
}

}  // namespace velmo64v6
