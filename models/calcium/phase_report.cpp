#include "models/calcium/phase_report.h"

#include "models/calcium/parameter_file.h"
#include "textio/freeform.h"
#include "textio/line.h"

namespace calcium {

namespace {

struct labelled {
  const char* label;  // 18 characters
  double value;
};

void put_blank(report_out to) { put(to, textio::blank_record()); }

void put_group(report_out to, std::span<const labelled> rows) {
  for (const labelled& row : rows) put_label_line(to, row.label, row.value);
}

}  // namespace

void write_species_table(report_out to, const phase_report_data& p) {
  const double* Y = p.Y;
  const derived_quantities& d = *p.d;
  const rate_constants& k = p.k;
  // Formed at the phase end itself.
  const double Ca_cyt_set_PMCA = k.k(6) / (k.k(5) * Y[PMCA_M]);
  const double STIM_tot = Y[STIM] + Y[STIM_Ca];
  const double Ca_in_LCa30 = 30.0 * Y[LCa30];

  const labelled calcium[] = {{"Ca_cyt_set (PMCA).", Ca_cyt_set_PMCA},
                              {"Ca_lum_set (SERCA)", d.Ca_lum_set_SERCA},
                              {"Ca_cyt_set (NCX)..", d.Ca_cyt_set_NCX},
                              {"Ca_cyt............", Y[Ca_cyt]},
                              {"<Ca_cyt>sw........", p.window_mean},
                              {"free & bound Ca...", d.free_bound_Ca}};
  const labelled sensor[] = {{"total M (sensor)..", d.total_M},
                             {"free  M (sensor)..", Y[M]},
                             {"M*Ca4.............", Y[MCa4]},
                             {"Kd (uM) for M.....", p.Kd_M}};
  const labelled buffer[] = {{"total B (buffer)..", d.total_B},
                             {"free  B (buffer)..", Y[B]},
                             {"B*Ca4.............", Y[BCa4]},
                             {"Kd (uM) for B.....", p.Kd_B}};
  const labelled pmca[] = {{"total PMCA........", d.total_PMCA},
                           {"PMCA.M ...........", Y[PMCA_M]},
                           {"PMCA.M (estimated)", d.PMCA_M_estimated},
                           {"PMCA.M* ..........", Y[PMCA_M_star]},
                           {"PMCA .............", Y[PMCA]},
                           {"Kd (uM) PMCA.M ...", p.Kd_PMCA_M}};
  const labelled ncx[] = {{"total NCX.........", d.total_NCX},
                          {"NCX.M ............", Y[NCX_M]},
                          {"NCX.M* ...........", Y[NCX_M_star]},
                          {"NCX ..............", Y[NCX]},
                          {"Kd (uM) NCX.M ....", p.Kd_NCX_M}};
  const labelled er[] = {{"Ca_ER_set (theor).", d.Ca_lum_set_SERCA},
                         {"free Ca_ER........", Y[Ca_lum]},
                         {"Ca in L.Ca30......", Ca_in_LCa30},
                         {"total Ca in ER....", d.total_Ca_ER},
                         {"L.Ca_30...........", Y[LCa30]},
                         {"free L............", Y[L]},
                         {"total L (buffer)..", d.total_L}};
  const labelled receptor[] = {{"total S (signal)..", d.total_S},
                               {"total R (recept)..", d.total_R},
                               {"free S (signal)...", Y[S]},
                               {"free R (recept)...", Y[R]},
                               {"RS (S bound on R).", Y[R_S]}};
  const labelled gprotein[] = {{"total S2 (signal).", d.total_S2},
                               {"total G (recept)..", d.total_G},
                               {"free S2 (signal)..", Y[S2]},
                               {"free G (recept)...", Y[Gprot]},
                               {"G.S2 (bound S2)...", Y[GS2]},
                               {"PLC...............", Y[PLC]},
                               {"IP3...............", Y[IP3]}};
  const labelled stim[] = {{"STIM..............", Y[STIM]},
                           {"(STIM.Ca).........", Y[STIM_Ca]},
                           {"STIM_tot..........", STIM_tot},
                           {"SOCC..............", Y[SOCC]}};
  const labelled last[] = {{"<period>..........", p.period},
                           {"coop STIM-Ca......", k.slot(coopstim_slot)},
                           {"<PMCA.M>..........", d.mean_PMCA_M}};

  const std::span<const labelled> groups[] = {calcium, sensor, buffer,   pmca, ncx,
                                              er,      receptor, gprotein, stim};
  for (const auto& g : groups) {
    put_group(to, g);
    put_blank(to);
  }
  put_group(to, std::span<const labelled>(last, p.mean_pmca_m_row ? 3 : 2));
}

void write_rate_constant_table(report_out to, rate_constants k, std::span<const int> ks) {
  for (int n : ks) {
    char label[18];
    rate_constant_label(n, label);
    put_label_line(to, std::string_view(label, 18), k.k(n));
  }
}

void write_flux_table(report_out to, const derived_quantities& d) {
  const labelled lines[] = {{"j1 (leak to cyto)", d.j1},  {"j3 (PMCA outflow)", d.j3},
                            {" jNCX.............", d.jNCX}, {"j2+j3............", d.j2_plus_j3},
                            {"j23 (ER-filling).", d.j23}, {"j27 (ER-leaking).", d.j27},
                            {"jARCC............", d.jARCC}, {"jIP3R............", d.jIP3R},
                            {"jtot.............", d.jtot}, {" jSOCC............", d.jSOCC}};
  for (const labelled& l : lines) {
    const std::string_view label(l.label);
    if (label.size() == 18) {
      put_label_line(to, label, l.value);  // "(1X,A20,1PE12.4)" with a leading-blank label
    } else {
      textio::line line;
      line.x(4).lit(label).sci(l.value, 12, 4);
      put(to, line.view());
    }
  }
}

void write_concentration_lines(report_out to, const double* Y) {
  static const char* const trailers[8] = {
      " !Ca_cyt,PMCA.M*,Ca_ext,M", " !MCa4,B,BCa4,PMCA.M",   " !PMCA,SERCA,Ca_lum,L",
      " !LCa30,S,R,R.S",           " !ARCC,IP3R.IP3,IP3,Ind", "!Cacyt.Ind,S2,Gprot,GS2",
      "!PLC,NCX.M*,NCX.M,NCX",     "!STIM,STIM.Ca,SOCC,IP3R"};
  for (int i = 0; i < 8; ++i) {
    const species* e = initial_state_elements[i];
    textio::line l;
    l.x(1).sci(Y[e[0]], 12, 5);
    for (int j = 1; j < 4; ++j) l.lit(",").sci(Y[e[j]], 12, 5);
    l.a(trailers[i], 26);
    put(to, l.view());
  }
}

void write_phase_report(const phase_report_data& p, std::span<const int> rate_constant_list) {
  using enum report_out;
  write_species_table(console, p);
  write_species_table(summary, p);
  put_both(summary, textio::blank_record());

  put_both(summary, textio::freeform()
                        .text("  rate constants ki at end of phase")
                        .integer(p.iphase)
                        .text(":")
                        .view());
  write_rate_constant_table(console, p.k, rate_constant_list);
  write_rate_constant_table(summary, p.k, rate_constant_list);
  put_both(summary, textio::blank_record());

  put_both(summary,
           textio::freeform().text("  Ca-fluxes at end of phase").integer(p.iphase).text(":").view());
  write_flux_table(console, *p.d);
  write_flux_table(summary, *p.d);
  put_both(summary, textio::blank_record());

  put_both(console, textio::freeform().text("   NOUT...............").integer(p.nout).view());
  put_both(summary, textio::blank_record());

  put_both(summary, textio::freeform()
                        .text("   concentrations at end of phase ")
                        .integer(p.iphase)
                        .text(":")
                        .view());
  write_concentration_lines(summary, p.Y);
  write_concentration_lines(console, p.Y);
}

}  // namespace calcium
