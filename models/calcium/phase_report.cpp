#include "models/calcium/phase_report.h"

#include "models/calcium/parameter_file.h"
#include "models/calcium/species_table.h"
#include "models/calcium/state_vector.h"
#include "textio/freeform.h"

namespace calcium {

void put_phase_heading(std::string_view text, int iphase) {
  put_both(report_out::summary, textio::freeform().text(text).integer(iphase).text(":").view());
}

void put_flux_lines(report_out to, std::span<const flux_line> lines) {
  for (const flux_line& l : lines) {
    if (l.layout == flux_layout::label_line) {
      put_label_line(to, l.label, l.value);
    } else {
      textio::line line;
      put(to, line.x(4).lit(l.label).sci(l.value, 12, 4).view());
    }
  }
}

void form_state_line(textio::line& l, const double* Y, const int (&elements)[4], int digits,
                     std::string_view trailer) {
  l.clear();
  l.x(1).sci(Y[elements[0]], 12, digits);
  for (int j = 1; j < 4; ++j) l.lit(",").sci(Y[elements[j]], 12, digits);
  l.a(trailer, 26);
}

void write_species_table(report_out to, const phase_report_data& p) {
  const double* Y = p.Y;
  const derived_quantities& d = *p.d;
  const rate_constants& k = p.k;
  const species_table_values v{
      .Ca_cyt_set_PMCA = pmca_set_point(k, Y),  // formed at the phase end itself
      .SERCA_set = d.Ca_lum_set_SERCA,
      .Ca_cyt_set_NCX = d.Ca_cyt_set_NCX,
      .Ca_cyt = Y[Ca_cyt],
      .window_mean = p.window_mean,
      .free_bound_Ca = d.free_bound_Ca,
      .total_M = d.total_M,
      .M = Y[M],
      .MCa4 = Y[MCa4],
      .Kd_M = p.Kd_M,
      .total_B = d.total_B,
      .B = Y[B],
      .BCa4 = Y[BCa4],
      .Kd_B = p.Kd_B,
      .total_PMCA = d.total_PMCA,
      .PMCA_M = Y[PMCA_M],
      .PMCA_M_estimated = d.PMCA_M_estimated,
      .PMCA_M_star = Y[PMCA_M_star],
      .PMCA = Y[PMCA],
      .Kd_PMCA_M = p.Kd_PMCA_M,
      .total_NCX = d.total_NCX,
      .NCX_M = Y[NCX_M],
      .NCX_M_star = Y[NCX_M_star],
      .NCX = Y[NCX],
      .Kd_NCX_M = p.Kd_NCX_M,
      .Ca_ER_set = d.Ca_lum_set_SERCA,
      .Ca_lum = Y[Ca_lum],
      .Ca_in_LCa30 = 30.0 * Y[LCa30],
      .total_Ca_ER = d.total_Ca_ER,
      .LCa30 = Y[LCa30],
      .L = Y[L],
      .total_L = d.total_L,
      .total_S = d.total_S,
      .total_R = d.total_R,
      .S = Y[S],
      .R = Y[R],
      .R_S = Y[R_S],
      .total_S2 = d.total_S2,
      .total_G = d.total_G,
      .S2 = Y[S2],
      .Gprot = Y[Gprot],
      .GS2 = Y[GS2],
      .PLC = Y[PLC],
      .IP3 = Y[IP3],
      .STIM = Y[STIM],
      .STIM_Ca = Y[STIM_Ca],
      .STIM_tot = Y[STIM] + Y[STIM_Ca],
      .SOCC = Y[SOCC],
      .period = p.period,
      .coop_STIM = k.slot(coopstim_slot),
      .mean_PMCA_M = d.mean_PMCA_M,
  };
  write_species_table(to, v,
                      {.serca_label = "Ca_lum_set (SERCA)",
                       .lum_buffer_rows = true,
                       .stim_rows = true,
                       .mean_pmca_m_row = p.mean_pmca_m_row});
}

void write_rate_constant_table(report_out to, rate_constants k, std::span<const int> ks) {
  for (int n : ks) {
    char label[18];
    rate_constant_label(n, label);
    put_label_line(to, std::string_view(label, 18), k.k(n));
  }
}

void write_flux_table(report_out to, const derived_quantities& d) {
  using enum flux_layout;
  const flux_line lines[] = {
      {fixed_text, "j1 (leak to cyto)", d.j1},    {fixed_text, "j3 (PMCA outflow)", d.j3},
      {label_line, " jNCX.............", d.jNCX}, {fixed_text, "j2+j3............", d.j2_plus_j3},
      {fixed_text, "j23 (ER-filling).", d.j23},   {fixed_text, "j27 (ER-leaking).", d.j27},
      {fixed_text, "jARCC............", d.jARCC}, {fixed_text, "jIP3R............", d.jIP3R},
      {fixed_text, "jtot.............", d.jtot},  {label_line, " jSOCC............", d.jSOCC},
  };
  put_flux_lines(to, lines);
}

const char* const concentration_trailers[8] = {
    " !Ca_cyt,PMCA.M*,Ca_ext,M", " !MCa4,B,BCa4,PMCA.M",    " !PMCA,SERCA,Ca_lum,L",
    " !LCa30,S,R,R.S",           " !ARCC,IP3R.IP3,IP3,Ind", "!Cacyt.Ind,S2,Gprot,GS2",
    "!PLC,NCX.M*,NCX.M,NCX",     "!STIM,STIM.Ca,SOCC,IP3R"};

void write_concentration_lines(report_out to, const double* Y) {
  textio::line l;
  for (int i = 0; i < 8; ++i) {
    form_state_line(l, Y, initial_state_elements[i], concentration_digits,
                    concentration_trailers[i]);
    put(to, l.view());
  }
}

void write_phase_report(const phase_report_data& p, std::span<const int> rate_constant_list) {
  using enum report_out;
  write_species_table(console, p);
  write_species_table(summary, p);
  put_both(summary, textio::blank_record());

  put_phase_heading(rate_constant_heading, p.iphase);
  write_rate_constant_table(console, p.k, rate_constant_list);
  write_rate_constant_table(summary, p.k, rate_constant_list);
  put_both(summary, textio::blank_record());

  put_phase_heading(flux_heading, p.iphase);
  write_flux_table(console, *p.d);
  write_flux_table(summary, *p.d);
  put_both(summary, textio::blank_record());

  put_both(console, textio::freeform().text("   NOUT...............").integer(p.nout).view());
  put_both(summary, textio::blank_record());

  put_phase_heading(concentration_heading, p.iphase);
  write_concentration_lines(summary, p.Y);
  write_concentration_lines(console, p.Y);
}

}  // namespace calcium
