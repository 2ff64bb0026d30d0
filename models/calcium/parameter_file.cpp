#include "models/calcium/parameter_file.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "models/calcium/parameter_lines.h"
#include "models/calcium/report_output.h"
#include "textio/run_name.h"

namespace calcium {

const int initial_state_elements[8][4] = {
    {Ca_cyt, PMCA_M_star, Ca_ext, M}, {MCa4, B, BCa4, PMCA_M},
    {PMCA, SERCA, Ca_lum, L},         {LCa30, S, R, R_S},
    {ARCC, IP3R_IP3, IP3, Ind},       {Cacyt_Ind, S2, Gprot, GS2},
    {PLC, NCX_M_star, NCX_M, NCX},    {STIM, STIM_Ca, SOCC, IP3R}};

namespace {

class reader {
 public:
  reader(const frame_config& cfg, run_state& r, textio::read_error* err, std::string* notice)
      : cfg_(cfg), r_(r), err_(err), notice_(notice), in_(cfg.input.file_name) {}

  bool run() {
    return run_name() && time_line() && rate_constants() && phase_changes() && initial_state() &&
           controls() && bands();
  }

 private:
  double& slot(int s) { return cfg_.ratcon[s - 1]; }

  bool run_name() {
    r_.runname_length = cfg_.input.runname_length;
    std::fill(r_.RUNNAME, r_.RUNNAME + max_runname_length, ' ');
    return textio::read_run_name(in_, "RUNNAME", r_.RUNNAME, r_.runname_length, notice_, err_);
  }

  bool time_line() {
    if (!read_time_line(in_, r_.TPRINT, r_.DTOUT, r_.TPHASE, err_)) return false;
    r_.duration = r_.TPHASE[0];
    return true;
  }

  bool rate_constants() {
    for (int n = 1; n <= 78; ++n) {
      char name[8];
      std::snprintf(name, sizeof name, "k%d", n);
      if (!in_.read({textio::real(name, slot(k_slot(n)))}, err_)) return false;
    }
    return in_.read({textio::real("COOPSTIM", slot(coopstim_slot))}, err_);
  }

  bool phase_changes() {
    const parameter_layout& p = cfg_.input;
    for (int i = 0; i < p.phase_change_lines; ++i) {
      const int line = first_phase_change_line + i;
      const bool two = std::find(p.two_value_lines.begin(), p.two_value_lines.end(), line) !=
                       p.two_value_lines.end();
      char first[32], second[32];
      std::snprintf(first, sizeof first, two ? "PHASECHG(%d,1)" : "PHASECHG(%d)", line);
      std::snprintf(second, sizeof second, "PHASECHG(%d,2)", line);
      double* v = r_.phase_change[i];
      bool ok = two ? in_.read({textio::real(first, v[0]), textio::real(second, v[1])}, err_)
                    : in_.read({textio::real(first, v[0])}, err_);
      if (!ok) return false;
    }
    return true;
  }

  bool initial_state() {
    for (const auto& e : initial_state_elements)
      if (!read_state_line(in_, r_.Y, e, species_label, err_)) return false;
    return true;
  }

  bool controls() {
    int* n = r_.NOUT;
    if (!in_.read({textio::integer("NOUT(1)", n[0]), textio::integer("NOUT(2)", n[1]),
                   textio::integer("NOUT(3)", n[2]), textio::integer("NOUT(4)", n[3]),
                   textio::integer("NOUT(5)", n[4])},
                  err_))
      return false;
    r_.nout = n[0];
    return read_window_length(in_, r_.NSW, err_) && read_thresholds(in_, r_.OFFSET, err_);
  }

  bool bands() { return read_bands(in_, r_.optics.BAND, err_); }

  const frame_config& cfg_;
  run_state& r_;
  textio::read_error* err_;
  std::string* notice_;
  textio::value_reader in_;
};

}  // namespace

bool read_parameter_file(const frame_config& cfg, run_state& r, textio::read_error* err,
                         std::string* run_name_notice) {
  std::fill(cfg.ratcon, cfg.ratcon + ratcon_slots, 0.0);
  return reader(cfg, r, err, run_name_notice).run();
}

bool set_up_after_reading(const frame_config& cfg, run_state& r) {
  const rate_constants k{cfg.ratcon};
  r.NCOUNT = 0;
  r.optics.IND_TOTAL = r.Y[Ind];
  r.d = derived_quantities{};
  if (!window_reset(r.window, r.NSW)) return false;
  detector_reset(r.detector, r.OFFSET[0], r.OFFSET[1], r.OFFSET[2], max_echo::phase2_time_and_ca,
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
