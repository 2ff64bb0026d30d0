#include "models/velmo64v6/parameters.h"

#include <string>

#include "models/calcium/parameter_lines.h"
#include "models/calcium/rate_constant_roles.h"
#include "models/velmo64v6/network.h"
#include "models/velmo64v6/parameter_layout.h"

namespace velmo64v6 {

calcium::parameter_layout_lines parameter_lines(parameters& p) {
  using calcium::real_value;
  calcium::parameter_layout_lines lines;
  auto line = [&lines] { return &lines.emplace_back().values; };
  line()->push_back(
      calcium::text_value("RUNNAME",
                          "run name: its first " + std::to_string(runname_length) +
                              " characters, blank-padded, begin every result-file name",
                          p.RUNNAME, runname_length));
  lines.push_back(calcium::time_line(p.TPRINT0, p.DTOUT, p.TPHASE, "output interval"));
  for (int n = 1; n <= 68; ++n)
    line()->push_back(real_value(rate_lines[n - 1].name,
                                 n == 20 ? "SERCA synthesis coefficient, multiplied by Ca_cyt"
                                         : calcium::rate_constant_role(n),
                                 p.k[n]));
  phase_changes& pc = p.pc;
  for (const phase_line& l : phase_lines) {
    auto* values = line();
    values->push_back(real_value(l.name, l.meaning, pc.*l.value));
    if (l.coeff_name) values->push_back(real_value(l.coeff_name, l.coeff_meaning, pc.*l.coeff));
  }
  for (const state_line& l : state_lines)
    lines.push_back(calcium::state_line(p.Y, l.element, species_label, species_meaning));
  lines.push_back(calcium::window_length_line(p.NSW));
  for (auto& l : calcium::threshold_lines(p.OFFSET, true)) lines.push_back(std::move(l));
  for (auto& l : calcium::band_lines(p.BAND)) lines.push_back(std::move(l));
  return lines;
}

bool read_parameters(const std::string& file, parameters* p, textio::read_error* err,
                     std::string* run_name_notice) {
  textio::value_reader in(file);
  const bool ok = calcium::read_parameter_lines(in, parameter_lines(*p), err, run_name_notice);
  // Kept as read, before a phase switch or ramp can change them.
  p->K1READ = p->k[1];
  p->K3READ = p->k[3];
  return ok;
}

void load_rate_constants(const parameters& p) {
  for (double& slot : ratcon) slot = 0.0;
  for (int n = 1; n <= 68; ++n) k(n) = p.k[n];
}

}  // namespace velmo64v6
