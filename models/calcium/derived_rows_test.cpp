// The output step's derived quantities on a hand-made state, the column
// order of the result rows, and the line images of the phase report's flux
// table, species table and end-of-phase concentration lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "models/calcium/derived.h"
#include "models/calcium/phase_report.h"
#include "models/calcium/rows.h"
#include "models/calcium/test_unit_file.h"
#include "testing/program_run.h"
#include "textio/units.h"

namespace {

using namespace calcium;

using calcium_test::UnitFile;

std::vector<double> fields(const std::string& row) { return testing_support::row_values(row); }

// A state and rate constants on which every quantity comes out exact.
struct hand_state {
  double Y[35] = {};
  double ratcon[ratcon_slots] = {};
  void set_k(int n, double v) { ratcon[k_slot(n) - 1] = v; }
  hand_state() {
    const double y[35] = {0.5, 2.0, 4.0, 3.0,  2.0, 1.0, 3.0, 0.25, 0.5, 1.0, 2.0, 8.0,
                          1.0, 0.5, 1.0, 2.0,  0.5, 1.0, 1.0, 0.5,  2.0, 1.0, 1.0, 3.0,
                          0.5, 1.0, 1.0, 0.25, 2.0, 1.0, 0.5, 2.0,  1.0, 6.0, 2.0};
    for (int i = 0; i < 35; ++i) Y[i] = y[i];
    const std::pair<int, double> ks[] = {{1, 0.5},  {2, 2.0},  {3, 3.0},   {4, 0.5},  {5, 2.0},
                                         {6, 1.0},  {8, 1.0},  {9, 0.5},   {10, 1.0}, {11, 2.0},
                                         {20, 3.0}, {21, 2.0}, {23, 3.0},  {24, 1.5}, {27, 0.25},
                                         {36, 2.0}, {37, 4.0}, {38, 26.0}, {39, 2.0}, {40, 0.5},
                                         {41, 1.0}, {42, 1.0}, {43, 0.5},  {50, 0.5}, {51, 0.75},
                                         {60, 4.0}, {61, 2.0}, {63, 2.0},  {64, 1.5}, {73, 3.0},
                                         {74, 4.0}};
    for (const auto& [n, v] : ks) set_k(n, v);
  }
};

TEST(DerivedQuantities, EveryFormulaOnAHandState) {
  hand_state h;
  derived_quantities d;
  form_derived(d, h.Y, rate_constants{h.ratcon}, 2.0, true);
  // FE = 1/0.5 + (1 + 1) = 4, FES = 0.5/0.5 + (0.25 + 1) = 2.25, so
  // jIP3R = 26*1*8 / (2.25*8 + 4*2) = 8.
  const struct {
    const char* name;
    double got, expected;
  } cases[] = {
      {"j1", d.j1, 2.0},
      {"j2", d.j2, 1.0},
      {"j3", d.j3, 3.0},
      {"j2+j3", d.j2_plus_j3, 4.0},
      {"jMon", d.jMon, 4.0},
      {"jMoff", d.jMoff, 2.0},
      {"jBon", d.jBon, 6.0},
      {"jBoff", d.jBoff, 2.0},
      {"j23", d.j23, 1.5},
      {"j27", d.j27, 2.0},
      {"jARCC", d.jARCC, 0.5},
      {"jIP3R", d.jIP3R, 8.0},
      {"jNCX", d.jNCX, 0.5},
      {"jSOCC", d.jSOCC, 3.0},
      // 2-1-3-4+2-6+2-1.5+2+0.5+8+3-0.5 - 0.5*0.5*2 + 0.75*1
      {"jtot", d.jtot, 3.75},
      {"Ca_cyt_set (PMCA)", d.Ca_cyt_set_PMCA, 1.0},
      {"Ca_lum_set (SERCA)", d.Ca_lum_set_SERCA, 1.5},
      {"Ca_cyt_set (NCX)", d.Ca_cyt_set_NCX, 2.0},
      {"<Ca_cyt>", d.mean_Ca_cyt, 1.5},
      {"<Ca_lum>", d.mean_Ca_lum, 3.0},
      {"<PMCA.M>", d.mean_PMCA_M, 1.0},
      {"Ca_cyt_set (<PMCA.M>)", d.Ca_cyt_set_mean_PMCA_M, 0.5},
      {"free & bound Ca", d.free_bound_Ca, 5.5},
      {"total M", d.total_M, 3.0},
      {"total B", d.total_B, 3.25},
      {"total PMCA", d.total_PMCA, 3.5},
      {"total NCX", d.total_NCX, 3.25},
      {"total Ca in ER", d.total_Ca_ER, 23.0},
      {"total L", d.total_L, 1.5},
      {"total S", d.total_S, 1.5},
      {"total R", d.total_R, 2.5},
      {"total S2", d.total_S2, 1.5},
      {"total G", d.total_G, 3.5},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.name;
}

// jtot adds its terms left to right in the row order, jSOCC, -jNCX, the
// indicator binding and unbinding last: with j1 = 2^53, jNCX = 1 and the
// unbinding term 1, (2^53 - 1) + 1 is 2^53, while adding the unbinding
// first would lose it (2^53 + 1 rounds to 2^53, minus 1 is 2^53 - 1).
TEST(DerivedQuantities, NetFluxKeepsTheOrderOfItsTerms) {
  double Y[35] = {};
  double ratcon[ratcon_slots] = {};
  const double two53 = 9007199254740992.0;
  Y[0] = 1.0;    // Ca_cyt
  Y[2] = two53;  // Ca_ext
  Y[11] = 1.0;   // Ca_lum
  Y[21] = 1.0;   // Cacyt.Ind
  Y[26] = 1.0;   // NCX.M*
  ratcon[k_slot(1) - 1] = 1.0;
  ratcon[k_slot(40) - 1] = 1.0;
  ratcon[k_slot(42) - 1] = 1.0;
  ratcon[k_slot(63) - 1] = 1.0;
  ratcon[k_slot(51) - 1] = 1.0;
  derived_quantities d;
  form_derived(d, Y, rate_constants{ratcon}, 1.0, true);
  ASSERT_EQ(d.jNCX, 1.0);
  EXPECT_EQ(d.jtot, two53);
}

TEST(DerivedQuantities, PmcaMEstimateIsTheSmallerRoot) {
  // x^2 - 8x + 12 = 0: roots 2 and 6.
  EXPECT_EQ(pmca_m_estimate(1.0, 3.0, 4.0), 2.0);
  // (Kd + M + P)^2 - 4MP < 0.
  EXPECT_TRUE(std::isnan(pmca_m_estimate(-2.0, 1.0, 1.0)));
}

// Distinct values everywhere, so that each column shows where it comes from.
struct distinct_step {
  double Y[35];
  double ratcon[ratcon_slots] = {};
  derived_quantities d;
  indicator optics;
  distinct_step() {
    for (int i = 0; i < 35; ++i) Y[i] = i + 1;  // Y(i) = i
    ratcon[k_slot(1) - 1] = 101;
    ratcon[k_slot(3) - 1] = 103;
    ratcon[k_slot(63) - 1] = 163;
    double* q[] = {&d.j1,
                   &d.j2,
                   &d.j3,
                   &d.j2_plus_j3,
                   &d.jMon,
                   &d.jMoff,
                   &d.jBon,
                   &d.jBoff,
                   &d.j23,
                   &d.j27,
                   &d.jARCC,
                   &d.jIP3R,
                   &d.jNCX,
                   &d.jSOCC,
                   &d.jtot,
                   &d.Ca_cyt_set_PMCA,
                   &d.Ca_lum_set_SERCA,
                   &d.Ca_cyt_set_NCX,
                   &d.Ca_cyt_set_mean_PMCA_M,
                   &d.mean_Ca_cyt,
                   &d.mean_Ca_lum,
                   &d.mean_PMCA_M,
                   &d.total_L,
                   &d.PMCA_M_estimated};
    for (int i = 0; i < 24; ++i) *q[i] = 201 + i;
    optics.RATIO = 301;
    optics.bound_per_free = 302;
    optics.Ca_ratio = 303;
  }
  step_values values() const { return {0.5, Y, &d, &optics, 0.25, rate_constants{ratcon}}; }
};

TEST(ResultRows, ColumnsInOrderAndWidths) {
  const distinct_step s;
  const derived_quantities& d = s.d;
  {
    UnitFile data(8);
    write_row(8, version67_rows.data, s.values());
    const auto rows = data.lines();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].size(), 624u);
    EXPECT_EQ(rows[0].substr(0, 17), "    5.000000E-01,");
    const std::vector<double> expected = {0.5,
                                          1,
                                          2,
                                          3,
                                          d.mean_Ca_cyt,
                                          5,
                                          6,
                                          7,
                                          8,
                                          d.Ca_cyt_set_PMCA,
                                          d.Ca_lum_set_SERCA,
                                          15,
                                          16,
                                          17,
                                          d.jIP3R,
                                          0.25,
                                          21,
                                          22,
                                          301,
                                          302,
                                          23,
                                          24,
                                          25,
                                          26,
                                          20,
                                          303,
                                          9,
                                          d.PMCA_M_estimated,
                                          10,
                                          103,
                                          101,
                                          27,
                                          163,
                                          12,
                                          d.Ca_cyt_set_NCX,
                                          d.mean_Ca_lum,
                                          d.mean_PMCA_M,
                                          d.Ca_cyt_set_mean_PMCA_M,
                                          20};
    EXPECT_EQ(fields(rows[0]), expected);
  }
  {
    UnitFile er(6);
    write_row(6, version67_rows.er, s.values());
    const auto rows = er.lines();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].size(), 160u);
    EXPECT_EQ(fields(rows[0]), (std::vector<double>{0.5, 11, 12, 13, 14, d.Ca_lum_set_SERCA,
                                                    d.total_L, 30, 31, 32}));
  }
  {
    UnitFile flux(4);
    write_row(4, version67_rows.flux, s.values());
    const auto rows = flux.lines();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].size(), 256u);
    EXPECT_EQ(rows[0].substr(0, 16), "      5.0000E-01");
    EXPECT_EQ(fields(rows[0]),
              (std::vector<double>{0.5, d.j1, d.j2, d.j3, d.jMon, d.jMoff, d.jBon, d.jBoff, d.jtot,
                                   d.j23, d.j27, d.jARCC, d.jIP3R, d.jNCX, 1, d.jSOCC}));
  }
  {
    UnitFile small(7);
    write_row(7, version67_rows.window, s.values());
    distinct_step store = s;
    store.Y[11] = 400.125;  // Ca_lum; an exact tie, rounded away from zero
    store.d.jSOCC = -3.5e-6;
    write_row(7, version67_rows.store, store.values());
    EXPECT_EQ(small.lines(), (std::vector<std::string>{"   5.0000E-01,  2.5000E-01",
                                                       "   4.0013E+02, -3.5000E-06"}));
  }
}

TEST(PhaseReport, FluxTableAndConcentrationLines) {
  const distinct_step s;
  UnitFile summary(summary_unit);
  write_flux_table(report_out::summary, s.d);
  write_concentration_lines(report_out::summary, s.Y);
  const std::vector<std::string> expected = {
      "    j1 (leak to cyto)  2.0100E+02",
      "    j3 (PMCA outflow)  2.0300E+02",
      "    jNCX.............  2.1300E+02",
      "    j2+j3............  2.0400E+02",
      "    j23 (ER-filling).  2.0900E+02",
      "    j27 (ER-leaking).  2.1000E+02",
      "    jARCC............  2.1100E+02",
      "    jIP3R............  2.1200E+02",
      "    jtot.............  2.1500E+02",
      "    jSOCC............  2.1400E+02",
      "  1.00000E+00, 2.00000E+00, 3.00000E+00, 5.00000E+00  !Ca_cyt,PMCA.M*,Ca_ext,M",
      "  6.00000E+00, 7.00000E+00, 8.00000E+00, 9.00000E+00       !MCa4,B,BCa4,PMCA.M",
      "  1.00000E+01, 1.10000E+01, 1.20000E+01, 1.30000E+01      !PMCA,SERCA,Ca_lum,L",
      "  1.40000E+01, 1.50000E+01, 1.60000E+01, 1.70000E+01            !LCa30,S,R,R.S",
      "  1.80000E+01, 1.90000E+01, 2.00000E+01, 2.10000E+01    !ARCC,IP3R.IP3,IP3,Ind",
      "  2.20000E+01, 2.30000E+01, 2.40000E+01, 2.50000E+01   !Cacyt.Ind,S2,Gprot,GS2",
      "  2.60000E+01, 2.70000E+01, 2.80000E+01, 2.90000E+01     !PLC,NCX.M*,NCX.M,NCX",
      "  3.00000E+01, 3.10000E+01, 3.20000E+01, 3.30000E+01   !STIM,STIM.Ca,SOCC,IP3R"};
  EXPECT_EQ(summary.lines(), expected);
}

// Which value each row of the species table prints; the set point of row 1,
// STIM_tot and Ca in L.Ca30 are formed at the phase end itself.
TEST(PhaseReport, SpeciesTableValues) {
  distinct_step s;
  s.ratcon[k_slot(5) - 1] = 0.5;
  s.ratcon[k_slot(6) - 1] = 9.0;
  s.ratcon[coopstim_slot - 1] = 2.5;
  const derived_quantities& d = s.d;
  s.d.free_bound_Ca = 401;
  s.d.total_M = 402;
  s.d.total_B = 403;
  s.d.total_PMCA = 404;
  s.d.total_NCX = 405;
  s.d.total_Ca_ER = 406;
  s.d.total_S = 407;
  s.d.total_R = 408;
  s.d.total_S2 = 409;
  s.d.total_G = 410;
  const phase_report_data p{1,   0,   s.Y, rate_constants{s.ratcon}, &s.d, 0.25, 7.5, 501, 502,
                            503, 504, true};
  UnitFile summary(summary_unit);
  write_species_table(report_out::summary, p);
  const auto lines = summary.lines();
  const double blank = -1.0;
  const std::vector<double> expected = {9.0 / (0.5 * 9),
                                        d.Ca_lum_set_SERCA,
                                        d.Ca_cyt_set_NCX,
                                        1,
                                        0.25,
                                        401,
                                        blank,
                                        402,
                                        5,
                                        6,
                                        501,
                                        blank,
                                        403,
                                        7,
                                        8,
                                        502,
                                        blank,
                                        404,
                                        9,
                                        d.PMCA_M_estimated,
                                        2,
                                        10,
                                        503,
                                        blank,
                                        405,
                                        28,
                                        27,
                                        29,
                                        504,
                                        blank,
                                        d.Ca_lum_set_SERCA,
                                        12,
                                        30.0 * 14,
                                        406,
                                        14,
                                        13,
                                        d.total_L,
                                        blank,
                                        407,
                                        408,
                                        15,
                                        16,
                                        17,
                                        blank,
                                        409,
                                        410,
                                        23,
                                        24,
                                        25,
                                        26,
                                        20,
                                        blank,
                                        30,
                                        31,
                                        30 + 31,
                                        32,
                                        blank,
                                        7.5,
                                        2.5,
                                        d.mean_PMCA_M};
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (expected[i] == blank) {
      EXPECT_EQ(lines[i], "  ") << i;
      continue;
    }
    ASSERT_EQ(lines[i].size(), 33u) << i << ": " << lines[i];
    EXPECT_EQ(lines[i].substr(0, 3), "   ") << i;
    char value[16];
    std::snprintf(value, sizeof value, "%12.4E", expected[i]);
    EXPECT_EQ(lines[i].substr(21), value) << i << ": " << lines[i];
  }
}

}  // namespace
