#include "models/velmo64v6/parameters.h"

#include "models/calcium/value_checks.h"
#include "models/velmo64v6/network.h"
#include "models/velmo64v6/parameter_layout.h"

namespace velmo64v6 {

namespace {

using textio::integer;
using textio::real;

}  // namespace

bool read_parameters(const std::string& file, parameters* p, textio::read_error* err) {
  textio::value_reader in(file);
  phase_changes& pc = p->pc;

  if (!in.read({textio::text("RUNNAME", p->RUNNAME, runname_length)}, err)) return false;
  if (!in.read({real("TPRINT", p->TPRINT0), real("DTOUT", p->DTOUT),
                real("TPHASE(1)", p->TPHASE[0]), real("TPHASE(2)", p->TPHASE[1]),
                real("TPHASE(3)", p->TPHASE[2]), real("TPHASE(4)", p->TPHASE[3]),
                real("TPHASE(5)", p->TPHASE[4])},
               err))
    return false;
  if (!calcium::check_output_interval(in, p->DTOUT, err)) return false;

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

  for (const state_line& line : state_lines) {
    double* y = p->Y;
    if (!in.read({real(line.names[0], y[line.element[0]]), real(line.names[1], y[line.element[1]]),
                  real(line.names[2], y[line.element[2]]), real(line.names[3], y[line.element[3]])},
                 err))
      return false;
  }

  if (!in.read({integer("NSW", p->NSW)}, err)) return false;
  if (!calcium::check_window_length(in, p->NSW, err)) return false;

  if (!in.read({real("OFFSET1", p->OFFSET[0])}, err)) return false;
  if (!in.read({real("OFFSET2", p->OFFSET[1])}, err)) return false;
  if (!in.read({real("OFFSET3", p->OFFSET[2])}, err)) return false;

  static const char* const band_names[3][3] = {{"epsilon(1)", "sigma(1)", "lamda(1)"},
                                               {"epsilon(2)", "sigma(2)", "lamda(2)"},
                                               {"epsilon(3)", "sigma(3)", "lamda(3)"}};
  for (int b = 0; b < 3; ++b) {
    calcium::band& bd = p->BAND[b];
    if (!in.read({real(band_names[b][0], bd.epsilon), real(band_names[b][1], bd.sigma),
                  real(band_names[b][2], bd.lamda)},
                 err))
      return false;
  }
  p->Y[Ca_cyt_int] = 0.0;
  return true;
}

void load_rate_constants(const parameters& p) {
  for (double& slot : ratcon) slot = 0.0;
  for (int n = 1; n <= 68; ++n) k(n) = p.k[n];
}

}  // namespace velmo64v6
