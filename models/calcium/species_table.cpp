#include "models/calcium/species_table.h"

#include <cstddef>
#include <iterator>
#include <span>

namespace calcium {

namespace {

using values = species_table_values;

enum class row_kind { every, serca, lum_buffer, stim, mean_pmca_m };

struct row {
  const char* label;  // nullptr: a blank record
  double values::*value = nullptr;
  row_kind kind = row_kind::every;
};

constexpr row blank{nullptr};

constexpr row rows[] = {
    {"Ca_cyt_set (PMCA).", &values::Ca_cyt_set_PMCA},
    {nullptr, &values::SERCA_set, row_kind::serca},
    {"Ca_cyt_set (NCX)..", &values::Ca_cyt_set_NCX},
    {"Ca_cyt............", &values::Ca_cyt},
    {"<Ca_cyt>sw........", &values::window_mean},
    {"free & bound Ca...", &values::free_bound_Ca},
    blank,
    {"total M (sensor)..", &values::total_M},
    {"free  M (sensor)..", &values::M},
    {"M*Ca4.............", &values::MCa4},
    {"Kd (uM) for M.....", &values::Kd_M},
    blank,
    {"total B (buffer)..", &values::total_B},
    {"free  B (buffer)..", &values::B},
    {"B*Ca4.............", &values::BCa4},
    {"Kd (uM) for B.....", &values::Kd_B},
    blank,
    {"total PMCA........", &values::total_PMCA},
    {"PMCA.M ...........", &values::PMCA_M},
    {"PMCA.M (estimated)", &values::PMCA_M_estimated},
    {"PMCA.M* ..........", &values::PMCA_M_star},
    {"PMCA .............", &values::PMCA},
    {"Kd (uM) PMCA.M ...", &values::Kd_PMCA_M},
    blank,
    {"total NCX.........", &values::total_NCX},
    {"NCX.M ............", &values::NCX_M},
    {"NCX.M* ...........", &values::NCX_M_star},
    {"NCX ..............", &values::NCX},
    {"Kd (uM) NCX.M ....", &values::Kd_NCX_M},
    blank,
    {"Ca_ER_set (theor).", &values::Ca_ER_set},
    {"free Ca_ER........", &values::Ca_lum},
    {"Ca in L.Ca30......", &values::Ca_in_LCa30, row_kind::lum_buffer},
    {"total Ca in ER....", &values::total_Ca_ER},
    {"L.Ca_30...........", &values::LCa30, row_kind::lum_buffer},
    {"free L............", &values::L, row_kind::lum_buffer},
    {"total L (buffer)..", &values::total_L},
    blank,
    {"total S (signal)..", &values::total_S},
    {"total R (recept)..", &values::total_R},
    {"free S (signal)...", &values::S},
    {"free R (recept)...", &values::R},
    {"RS (S bound on R).", &values::R_S},
    blank,
    {"total S2 (signal).", &values::total_S2},
    {"total G (recept)..", &values::total_G},
    {"free S2 (signal)..", &values::S2},
    {"free G (recept)...", &values::Gprot},
    {"G.S2 (bound S2)...", &values::GS2},
    {"PLC...............", &values::PLC},
    {"IP3...............", &values::IP3},
    blank,
    {"STIM..............", &values::STIM, row_kind::stim},
    {"(STIM.Ca).........", &values::STIM_Ca, row_kind::stim},
    {"STIM_tot..........", &values::STIM_tot, row_kind::stim},
    {"SOCC..............", &values::SOCC, row_kind::stim},
    {nullptr, nullptr, row_kind::stim},
    {"<period>..........", &values::period},
    {"coop STIM-Ca......", &values::coop_STIM, row_kind::stim},
    {"<PMCA.M>..........", &values::mean_PMCA_M, row_kind::mean_pmca_m},
};

bool has_row(const species_table_layout& layout, row_kind kind) {
  switch (kind) {
    case row_kind::lum_buffer:
      return layout.lum_buffer_rows;
    case row_kind::stim:
      return layout.stim_rows;
    case row_kind::mean_pmca_m:
      return layout.mean_pmca_m_row;
    default:
      return true;
  }
}

}  // namespace

void write_species_table(report_out to, const species_table_values& v,
                         const species_table_layout& layout) {
  labelled out[std::size(rows)];
  std::size_t n = 0;
  for (const row& r : rows) {
    if (!has_row(layout, r.kind)) continue;
    const char* label = r.kind == row_kind::serca ? layout.serca_label : r.label;
    out[n++] = r.value ? labelled{label, v.*r.value} : blank_row;
  }
  put_labelled(to, std::span<const labelled>(out, n));
}

}  // namespace calcium
