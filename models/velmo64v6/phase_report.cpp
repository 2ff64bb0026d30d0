#include "models/velmo64v6/phase_report.h"

#include "models/calcium/phase_report.h"
#include "models/calcium/report_output.h"
#include "models/calcium/species_table.h"
#include "models/velmo64v6/parameter_layout.h"
#include "textio/freeform.h"
#include "textio/line.h"

namespace velmo64v6 {

namespace {

using calcium::report_out;

void species_table(report_out to, const run_state& s) {
  const double* Y = s.Y;
  const step_quantities& q = s.q;
  const calcium::species_table_values v{
      .Ca_cyt_set_PMCA = q.Ca_cyt_set_PMCA,
      .SERCA_set = q.Ca_cyt_set_SERCA,
      .Ca_cyt_set_NCX = q.Ca_cyt_set_NCX,
      .Ca_cyt = Y[Ca_cyt],
      .window_mean = s.window.mean,
      .free_bound_Ca = q.free_bound_Ca,
      .total_M = q.total_M,
      .M = Y[M],
      .MCa4 = Y[MCa4],
      .Kd_M = s.Kd_M,
      .total_B = q.total_B,
      .B = Y[B],
      .BCa4 = Y[BCa4],
      .Kd_B = s.Kd_B,
      .total_PMCA = q.total_PMCA,
      .PMCA_M = Y[PMCA_M],
      .PMCA_M_estimated = q.PMCA_M_estimated,
      .PMCA_M_star = Y[PMCA_M_star],
      .PMCA = Y[PMCA],
      .Kd_PMCA_M = s.Kd_PMCA_M,
      .total_NCX = q.total_NCX,
      .NCX_M = Y[NCX_M],
      .NCX_M_star = Y[NCX_M_star],
      .NCX = Y[NCX],
      .Kd_NCX_M = s.Kd_NCX_M,
      .Ca_ER_set = q.Ca_ER_set_theor,
      .Ca_lum = Y[Ca_lum],
      .Ca_in_LCa30 = 0.0,  // no luminal buffer rows
      .total_Ca_ER = q.total_Ca_ER,
      .LCa30 = 0.0,
      .L = 0.0,
      .total_L = q.total_L,
      .total_S = q.total_S,
      .total_R = q.total_R,
      .S = Y[S],
      .R = Y[R],
      .R_S = Y[R_S],
      .total_S2 = q.total_S2,
      .total_G = q.total_G,
      .S2 = Y[S2],
      .Gprot = Y[Gprot],
      .GS2 = Y[GS2],
      .PLC = Y[PLC],
      .IP3 = Y[IP3],
      .STIM = 0.0,  // no STIM block
      .STIM_Ca = 0.0,
      .STIM_tot = 0.0,
      .SOCC = 0.0,
      .period = s.detector.period,
      .coop_STIM = 0.0,
      .mean_PMCA_M = 0.0,  // no <PMCA.M> row
  };
  calcium::write_species_table(to, v,
                               {.serca_label = "Ca_cyt_set (SERCA)",
                                .lum_buffer_rows = false,
                                .stim_rows = false,
                                .mean_pmca_m_row = false});
}

void flux_table(report_out to, const step_quantities& q) {
  using enum calcium::flux_layout;
  const calcium::flux_line lines[] = {
      {fixed_text, "j1 (leak to cyto)", q.j1},    {fixed_text, "j2 (cyto outflow)", q.j2},
      {fixed_text, "j3 (PMCA outflow)", q.j3},    {fixed_text, "j2+j3............", q.j2_plus_j3},
      {fixed_text, "j23 (ER-filling).", q.j23},   {fixed_text, "j27 (ER-leaking).", q.j27},
      {fixed_text, "jARCC............", q.jARCC}, {fixed_text, "jIP3R............", q.jIP3R},
      {label_line, " jNCX.............", q.jNCX}, {fixed_text, "jtot.............", q.jtot},
  };
  calcium::put_flux_lines(to, lines);
}

void concentration_lines(report_out to, const double* Y) {
  textio::line l;
  for (const state_line& s : state_lines) {
    calcium::form_state_line(l, Y, s.element, concentration_digits, s.report_trailer);
    calcium::put(to, l.view());
  }
}

// Only k1, k2 and k3: the ramped constants as the phase's last step left them.
constexpr int reported_rate_constants[] = {1, 2, 3};

}  // namespace

void write_phase_report(const run_state& s) {
  using enum report_out;
  const calcium::rate_constants constants{ratcon};
  auto blank_summary_then_console = [] { calcium::put_both(summary, textio::blank_record()); };

  species_table(console, s);
  species_table(summary, s);
  blank_summary_then_console();

  calcium::put_phase_heading(calcium::rate_constant_heading, s.IPHASE);
  calcium::write_rate_constant_table(console, constants, reported_rate_constants);
  calcium::write_rate_constant_table(summary, constants, reported_rate_constants);
  blank_summary_then_console();

  calcium::put_phase_heading(calcium::flux_heading, s.IPHASE);
  flux_table(console, s.q);
  flux_table(summary, s.q);
  blank_summary_then_console();

  calcium::put_phase_heading(calcium::concentration_heading, s.IPHASE);
  concentration_lines(summary, s.Y);
  concentration_lines(console, s.Y);
  blank_summary_then_console();
}

}  // namespace velmo64v6
