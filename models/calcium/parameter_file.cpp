#include "models/calcium/parameter_file.h"

#include <algorithm>
#include <string>

#include "models/calcium/parameter_lines.h"
#include "models/calcium/rate_constant_roles.h"

namespace calcium {

const int initial_state_elements[8][4] = {
    {Ca_cyt, PMCA_M_star, Ca_ext, M}, {MCa4, B, BCa4, PMCA_M},
    {PMCA, SERCA, Ca_lum, L},         {LCa30, S, R, R_S},
    {ARCC, IP3R_IP3, IP3, Ind},       {Cacyt_Ind, S2, Gprot, GS2},
    {PLC, NCX_M_star, NCX_M, NCX},    {STIM, STIM_Ca, SOCC, IP3R}};

namespace {

std::string phase_change_name(int line, bool two, int value) {
  return "PHASECHG(" + std::to_string(line) + (two ? "," + std::to_string(value) : "") + ")";
}

// "k46 from the start of phase 2", or that the value is only read.
std::string phase_change_meaning(const frame_config& cfg, int line, int value) {
  for (const phase_switch& s : cfg.switches)
    if (s.line == line && s.value == value)
      return "k" + std::to_string(s.k) + " from the start of phase " + std::to_string(s.phase);
  return "read and not used";
}

}  // namespace

parameter_layout_lines frame_parameter_lines(const frame_config& cfg, run_state& r) {
  const parameter_layout& p = cfg.input;
  double* ratcon = cfg.ratcon;
  parameter_layout_lines lines;
  auto line = [&lines] { return &lines.emplace_back().values; };

  r.runname_length = p.runname_length;
  line()->push_back(text_value("RUNNAME",
                               "run name: its first " + std::to_string(p.runname_length) +
                                   " characters, blank-padded, begin every result-file name",
                               r.RUNNAME, r.runname_length));
  lines.push_back(time_line(r.TPRINT, r.DTOUT, r.TPHASE,
                            cfg.dtout_reset_after_phase2
                                ? "output interval of phases 1 and 2 (0.1 from phase 3 on)"
                                : "output interval"));
  for (int n = 1; n <= rate_constant_count; ++n)
    line()->push_back(
        real_value("k" + std::to_string(n), rate_constant_role(n), ratcon[k_slot(n) - 1]));
  line()->push_back(
      real_value("COOPSTIM", "cooperativity of Ca_lum binding to STIM", ratcon[coopstim_slot - 1]));
  for (int i = 0; i < p.phase_change_lines; ++i) {
    const int at = first_phase_change_line + i;
    const bool two = std::find(p.two_value_lines.begin(), p.two_value_lines.end(), at) !=
                     p.two_value_lines.end();
    auto* values = line();
    for (int v = 1; v <= (two ? 2 : 1); ++v)
      values->push_back(real_value(phase_change_name(at, two, v), phase_change_meaning(cfg, at, v),
                                   r.phase_change[i][v - 1]));
  }
  for (const auto& e : initial_state_elements)
    lines.push_back(state_line(r.Y, e, species_label, species_meaning));
  auto* nout = line();
  for (int ph = 1; ph <= phase_count; ++ph)
    nout->push_back(
        integer_value("NOUT(" + std::to_string(ph) + ")",
                      "rows of phase " + std::to_string(ph) +
                          ": 0 a data, ER and flux row at every output step, n > 0 at every n-th, "
                          "negative none",
                      r.NOUT[ph - 1]));
  lines.push_back(window_length_line(r.NSW));
  for (parameter_line& l : threshold_lines(r.OFFSET, cfg.maxima)) lines.push_back(std::move(l));
  for (parameter_line& l : band_lines(r.optics.BAND)) lines.push_back(std::move(l));
  return lines;
}

bool read_parameter_file(const frame_config& cfg, run_state& r, textio::read_error* err,
                         std::string* run_name_notice) {
  std::fill(cfg.ratcon, cfg.ratcon + ratcon_slots, 0.0);
  std::fill(r.RUNNAME, r.RUNNAME + max_runname_length, ' ');
  textio::value_reader in(cfg.input.file_name);
  const bool ok = read_parameter_lines(in, frame_parameter_lines(cfg, r), err, run_name_notice);
  r.duration = r.TPHASE[0];
  r.nout = r.NOUT[0];
  return ok;
}

bool set_up_after_reading(const frame_config& cfg, run_state& r) {
  const rate_constants k{cfg.ratcon};
  r.NCOUNT = 0;
  r.optics.IND_TOTAL = r.Y[Ind];
  r.d = derived_quantities{};
  if (!window_reset(r.window, r.NSW)) return false;
  detector_reset(r.detector, r.OFFSET[0], r.OFFSET[1], r.OFFSET[2], frame_max_echo,
                 period_layout::scientific);
  r.IPHASE = 0;
  r.Kd_NCX_M = k.k(68) / k.k(67);
  r.Kd_PMCA_M = k.k(13) / k.k(12);
  r.Kd_B = k.k(11) / k.k(10);
  r.Kd_M = k.k(9) / k.k(8);
  r.optics.KDIND = k.k(51) / k.k(50);
  // The running integrals are never read.
  r.Y[Ca_cyt_int] = 0.0;
  if (cfg.lum_pmca_integrals) {
    r.Y[Ca_lum_int] = 0.0;
    r.Y[PMCA_M_int] = 0.0;
  }
  return true;
}

}  // namespace calcium
