#include "models/velmo64v6/phase_report.h"

#include "models/calcium/phase_report.h"
#include "models/calcium/report_output.h"
#include "models/velmo64v6/parameter_layout.h"
#include "textio/freeform.h"
#include "textio/line.h"

namespace velmo64v6 {

namespace {

using calcium::blank_row;
using calcium::labelled;
using calcium::report_out;

void species_table(report_out to, const run_state& s) {
  const double* Y = s.Y;
  const step_quantities& q = s.q;
  const labelled rows[] = {
      {"Ca_cyt_set (PMCA).", q.Ca_cyt_set_PMCA},
      {"Ca_cyt_set (SERCA)", q.Ca_cyt_set_SERCA},
      {"Ca_cyt_set (NCX)..", q.Ca_cyt_set_NCX},
      {"Ca_cyt............", Y[Ca_cyt]},
      {"<Ca_cyt>sw........", s.window.mean},
      {"free & bound Ca...", q.free_bound_Ca},
      blank_row,
      {"total M (sensor)..", q.total_M},
      {"free  M (sensor)..", Y[M]},
      {"M*Ca4.............", Y[MCa4]},
      {"Kd (uM) for M.....", s.Kd_M},
      blank_row,
      {"total B (buffer)..", q.total_B},
      {"free  B (buffer)..", Y[B]},
      {"B*Ca4.............", Y[BCa4]},
      {"Kd (uM) for B.....", s.Kd_B},
      blank_row,
      {"total PMCA........", q.total_PMCA},
      {"PMCA.M ...........", Y[PMCA_M]},
      {"PMCA.M (estimated)", q.PMCA_M_estimated},
      {"PMCA.M* ..........", Y[PMCA_M_star]},
      {"PMCA .............", Y[PMCA]},
      {"Kd (uM) PMCA.M ...", s.Kd_PMCA_M},
      blank_row,
      {"total NCX.........", q.total_NCX},
      {"NCX.M ............", Y[NCX_M]},
      {"NCX.M* ...........", Y[NCX_M_star]},
      {"NCX ..............", Y[NCX]},
      {"Kd (uM) NCX.M ....", s.Kd_NCX_M},
      blank_row,
      {"Ca_ER_set (theor).", q.Ca_ER_set_theor},
      {"free Ca_ER........", Y[Ca_lum]},
      {"total Ca in ER....", q.total_Ca_ER},
      {"total L (buffer)..", q.total_L},
      blank_row,
      {"total S (signal)..", q.total_S},
      {"total R (recept)..", q.total_R},
      {"free S (signal)...", Y[S]},
      {"free R (recept)...", Y[R]},
      {"RS (S bound on R).", Y[R_S]},
      blank_row,
      {"total S2 (signal).", q.total_S2},
      {"total G (recept)..", q.total_G},
      {"free S2 (signal)..", Y[S2]},
      {"free G (recept)...", Y[Gprot]},
      {"G.S2 (bound S2)...", Y[GS2]},
      {"PLC...............", Y[PLC]},
      {"IP3...............", Y[IP3]},
      blank_row,
      {"<period>..........", s.detector.period},
  };
  calcium::put_labelled(to, rows);
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
