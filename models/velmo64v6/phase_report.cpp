#include "models/velmo64v6/phase_report.h"

#include <string_view>

#include "models/calcium/report_output.h"
#include "models/velmo64v6/parameter_layout.h"
#include "textio/freeform.h"
#include "textio/line.h"

namespace velmo64v6 {

namespace {

using calcium::put;
using calcium::put_both;
using calcium::put_label_line;
using calcium::report_out;

constexpr report_out CONSOLE = report_out::console;
constexpr report_out SUMMARY = report_out::summary;

struct labelled {
  const char* label;  // nullptr marks a blank record
  double value;
};

void species_table(report_out to, const run_state& s) {
  const double* Y = s.Y;
  const step_quantities& q = s.q;
  const labelled rows[] = {
      {"Ca_cyt_set (PMCA).", q.Ca_cyt_set_PMCA}, {"Ca_cyt_set (SERCA)", q.Ca_cyt_set_SERCA},
      {"Ca_cyt_set (NCX)..", q.Ca_cyt_set_NCX},   {"Ca_cyt............", Y[Ca_cyt]},
      {"<Ca_cyt>sw........", s.window.mean},      {"free & bound Ca...", q.free_bound_Ca},
      {nullptr, 0},
      {"total M (sensor)..", q.total_M},          {"free  M (sensor)..", Y[M]},
      {"M*Ca4.............", Y[MCa4]},            {"Kd (uM) for M.....", s.Kd_M},
      {nullptr, 0},
      {"total B (buffer)..", q.total_B},          {"free  B (buffer)..", Y[B]},
      {"B*Ca4.............", Y[BCa4]},            {"Kd (uM) for B.....", s.Kd_B},
      {nullptr, 0},
      {"total PMCA........", q.total_PMCA},       {"PMCA.M ...........", Y[PMCA_M]},
      {"PMCA.M (estimated)", q.PMCA_M_estimated}, {"PMCA.M* ..........", Y[PMCA_M_star]},
      {"PMCA .............", Y[PMCA]},            {"Kd (uM) PMCA.M ...", s.Kd_PMCA_M},
      {nullptr, 0},
      {"total NCX.........", q.total_NCX},        {"NCX.M ............", Y[NCX_M]},
      {"NCX.M* ...........", Y[NCX_M_star]},       {"NCX ..............", Y[NCX]},
      {"Kd (uM) NCX.M ....", s.Kd_NCX_M},
      {nullptr, 0},
      {"Ca_ER_set (theor).", q.Ca_ER_set_theor},  {"free Ca_ER........", Y[Ca_lum]},
      {"total Ca in ER....", q.total_Ca_ER},      {"total L (buffer)..", q.total_L},
      {nullptr, 0},
      {"total S (signal)..", q.total_S},          {"total R (recept)..", q.total_R},
      {"free S (signal)...", Y[S]},               {"free R (recept)...", Y[R]},
      {"RS (S bound on R).", Y[R_S]},
      {nullptr, 0},
      {"total S2 (signal).", q.total_S2},         {"total G (recept)..", q.total_G},
      {"free S2 (signal)..", Y[S2]},              {"free G (recept)...", Y[Gprot]},
      {"G.S2 (bound S2)...", Y[GS2]},             {"PLC...............", Y[PLC]},
      {"IP3...............", Y[IP3]},
      {nullptr, 0},
      {"<period>..........", s.detector.period},
  };
  for (const labelled& r : rows) {
    if (r.label)
      put_label_line(to, r.label, r.value);
    else
      put(to, textio::blank_record());
  }
}

void heading(const char* text, int iphase) {
  textio::freeform f;
  f.text(text).integer(iphase).text(":");
  put_both(SUMMARY, f.view());
}

void blank_summary_then_console() { put_both(SUMMARY, textio::blank_record()); }

void rate_constant_table(report_out to) {
  for (int n = 1; n <= 3; ++n) {
    char label[18];
    calcium::rate_constant_label(n, label);
    put_label_line(to, std::string_view(label, 18), k(n));
  }
}

void flux_table(report_out to, const step_quantities& q) {
  auto fixed = [to](const char* label, double v) {
    textio::line l;
    put(to, l.x(4).lit(label).sci(v, 12, 4).view());
  };
  fixed("j1 (leak to cyto)", q.j1);
  fixed("j2 (cyto outflow)", q.j2);
  fixed("j3 (PMCA outflow)", q.j3);
  fixed("j2+j3............", q.j2_plus_j3);
  fixed("j23 (ER-filling).", q.j23);
  fixed("j27 (ER-leaking).", q.j27);
  fixed("jARCC............", q.jARCC);
  fixed("jIP3R............", q.jIP3R);
  put_label_line(to, " jNCX.............", q.jNCX);
  fixed("jtot.............", q.jtot);
}

void concentration_lines(report_out to, const double* Y) {
  for (const state_line& s : state_lines) {
    textio::line l;
    l.x(1).sci(Y[s.element[0]], 12, 4);
    for (int i = 1; i < 4; ++i) l.lit(",").sci(Y[s.element[i]], 12, 4);
    put(to, l.a(s.report_trailer, 26).view());
  }
}

}  // namespace

void write_phase_report(const run_state& s) {
  species_table(CONSOLE, s);
  species_table(SUMMARY, s);
  blank_summary_then_console();

  heading("  rate constants ki at end of phase", s.IPHASE);
  rate_constant_table(CONSOLE);
  rate_constant_table(SUMMARY);
  blank_summary_then_console();

  heading("  Ca-fluxes at end of phase", s.IPHASE);
  flux_table(CONSOLE, s.q);
  flux_table(SUMMARY, s.q);
  blank_summary_then_console();

  heading("   concentrations at end of phase ", s.IPHASE);
  concentration_lines(SUMMARY, s.Y);
  concentration_lines(CONSOLE, s.Y);
  blank_summary_then_console();
}

}  // namespace velmo64v6
