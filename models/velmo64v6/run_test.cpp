// A velmo64v6 run end to end: ramps of k1 and k3, the four rows of every
// output step, the console and summary reports, the period lines and the
// stop after an integrator failure.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "models/velmo64v6/test_run.h"

namespace velmo64v6_test {
namespace {

const std::string RUN = "OSC";

// Five phases: 4 output steps in phase 1 (TOUT 0..3), then 5 in each.
input_file five_phases() {
  input_file in = oscillator_base();
  in.times(0.0, 1.0, {3, 4, 4, 4, 4});
  return in;
}
constexpr int STEPS[5] = {4, 5, 5, 5, 5};

struct coefficients {
  double c12, c32, c33, c14, c34, c35;  // K1P2COEFF, K3P2COEFF, ... K3P5COEFF
};

struct ramp_case {
  const char* name;
  std::vector<std::pair<int, std::string>> lines;
  coefficients c;
};

TEST(Velmo64v6Run, RampsOfK1AndK3InEveryPhase) {
  const ramp_case cases[] = {
      {"coefficients set", {}, {0.3, 0.05, 0.4, 0.25, 0.02, 0.5}},
      // A slash leaves K3P2COEFF at 0.
      {"coefficients zero",
       {{71, "0.5, 0"},
        {73, "0.7 / K3P2COEFF left out"},
        {82, "0.9, 0"},
        {89, "0.6, 0"},
        {91, "1.1, 0"},
        {95, "1.3, 0"}},
       {0, 0, 0, 0, 0, 0}},
  };
  const double K1READ = 1.0, K3READ = 1.0, K1P2 = 0.5, K3P2 = 0.7, K1P3 = 1.2, K3P3 = 0.9,
               K1P4 = 0.6, K3P4 = 1.1, K1P5 = 0.8, K3P5 = 1.3;
  const double K63[6] = {0, 0, 0.2, 0.3, 0.4, 0.5};
  const double TPHASE[5] = {3, 4, 4, 4, 4};

  for (const ramp_case& rc : cases) {
    SCOPED_TRACE(rc.name);
    input_file in = five_phases();
    for (const auto& [line, text] : rc.lines) in.set(line, text);
    scratch_dir dir;
    run_result r = run_with(dir, in);
    ASSERT_EQ(r.exit_status, 0) << r.err;
    auto rows = rows_of(dir, file_of(RUN, ".txt"));
    ASSERT_EQ(rows.size(), 24u);

    const coefficients& c = rc.c;
    double k3end2 = 0, k3end4 = 0;
    std::size_t i = 0;
    for (int p = 1; p <= 5; ++p) {
      double before = 0;
      for (int q = 1; q < p; ++q) before += TPHASE[q - 1];
      for (int s = 0; s < STEPS[p - 1]; ++s, ++i) {
        const double tprint = static_cast<double>(i);
        const double tau = tprint - before;
        double k1 = K1READ, k3 = K3READ;
        switch (p) {
          case 2:
            k3 = c.c32 == 0 ? K3P2 : K3READ + tau * c.c32;
            k3end2 = k3;
            k1 = K1READ + K1P2 * (1 - std::exp(-tau * c.c12));
            break;
          case 3:
            k3 = c.c33 == 0 ? K3P3 : K3READ + (k3end2 - K3READ) * std::exp(-tau * c.c33);
            k1 = K1P3;
            break;
          case 4:
            k3 = c.c34 == 0 ? K3P4 : K3P3 + tau * c.c34;
            k3end4 = k3;
            k1 = K1P3 + K1P4 * (1 - std::exp(-tau * c.c14));
            break;
          case 5:
            k3 = c.c35 == 0 ? K3P5 : K3P5 + (k3end4 - K3P5) * std::exp(-tau * c.c35);
            k1 = K1P5;
            break;
        }
        const std::vector<double>& row = rows[i];
        ASSERT_EQ(row.size(), 34u);
        EXPECT_DOUBLE_EQ(row[0], tprint);
        EXPECT_NEAR(row[29], k3, 1e-6 * k3) << "k3, phase " << p << " step " << s;
        EXPECT_NEAR(row[30], k1, 1e-6 * k1) << "k1, phase " << p << " step " << s;
        EXPECT_NEAR(row[32], K63[p], 1e-12) << "k63, phase " << p;
      }
    }
  }
  // Phase 2 starts at TPRINT 4, one DTOUT after phase 1's last step: TAU is 1
  // already at its first (zero-length) step.
  scratch_dir dir;
  ASSERT_EQ(run_with(dir, five_phases()).exit_status, 0);
  auto rows = rows_of(dir, file_of(RUN, ".txt"));
  EXPECT_NEAR(rows.at(4)[29], 1.0 + 1 * 0.05, 1e-9);
  EXPECT_NEAR(rows.at(4)[30], 1.0 + 0.5 * (1 - std::exp(-0.3)), 1e-6);
}

// Lines of the console that the summary file does not get: maximum echoes
// (one number alone) and period lines.
bool console_only(const std::string& line) {
  static const std::regex echo(R"(^   -?[0-9.E+-]+$)");
  static const std::regex period(R"(^ [ 0-9]{3}[ 0-9.*-]{10}[ 0-9.*-]{10}$)");
  return std::regex_match(line, echo) || std::regex_match(line, period);
}

TEST(Velmo64v6Run, FilesOfAFivePhaseRun) {
  scratch_dir dir;
  run_result r = run_with(dir, five_phases());
  ASSERT_EQ(r.exit_status, 0) << r.err;

  const std::vector<std::string> expected_files = {
      file_of(RUN, ".INP"),        file_of(RUN, ".txt"),      file_of(RUN, "_ER.txt"),
      file_of(RUN, "_fluxes.txt"), file_of(RUN, "_spec.txt"), file_of(RUN, "_summary.txt"),
      file_of(RUN, "_sw.txt"),     "VELMO64v6.INP",           "tmp"};
  EXPECT_EQ(dir.files(), expected_files);
  for (const std::string& name : dir.files())
    if (name != "VELMO64v6.INP") {
      EXPECT_TRUE(all_crlf(dir.read(name))) << name;
    }
  EXPECT_TRUE(all_crlf(r.out));

  // One data, ER, flux and window row at every one of the 24 output steps.
  struct row_file {
    const char* suffix;
    std::size_t length;
  };
  for (const row_file& f : {row_file{".txt", 544}, row_file{"_ER.txt", 112},
                            row_file{"_fluxes.txt", 240}, row_file{"_sw.txt", 26}}) {
    auto lines = lines_of(dir, file_of(RUN, f.suffix));
    ASSERT_EQ(lines.size(), 24u) << f.suffix;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].size(), f.length) << f.suffix << " row " << i + 1;
      EXPECT_DOUBLE_EQ(fields(lines[i]).at(0), static_cast<double>(i)) << f.suffix;
    }
  }
  // <Ca_cyt> = Ca_cyt_int / TPRINT is 0/0 at the first step.
  const std::string first = lines_of(dir, file_of(RUN, ".txt")).at(0);
  const std::string mean_field = first.substr(1 + 4 * 16, 15);
  EXPECT_TRUE(mean_field == "            NaN" || mean_field == "           -NaN") << mean_field;
  EXPECT_EQ(lines_of(dir, file_of(RUN, "_spec.txt")).size(), 6u * 602);

  // Flux row: Ca_cyt in its column 15 equals the data row's column 2.
  auto flux = rows_of(dir, file_of(RUN, "_fluxes.txt"));
  auto data = rows_of(dir, file_of(RUN, ".txt"));
  for (std::size_t i = 0; i < data.size(); ++i)
    EXPECT_NEAR(flux[i].at(14), data[i].at(1), 1e-4 * std::fabs(data[i].at(1)));

  // tmp: run name, total and phase ends, run stamp, thresholds.
  auto tmp = lines_of(dir, "tmp");
  ASSERT_EQ(tmp.size(), 10u);
  const std::string padded_name = file_of(RUN, "");
  EXPECT_EQ(tmp[0], std::string(1, ' ') + padded_name);
  const double ends[5] = {19, 3, 7, 11, 15};
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(fields(tmp[i + 1]).at(0), ends[i]);
  EXPECT_TRUE(
      std::regex_match(tmp[6], std::regex(R"(  \([0-9]{2}-[A-Z][a-z]{2}-[0-9]{2}, [0-9:]{8}\))")));

  // Console and summary: same report, less the console-only lines.
  auto console = split_lines(r.out);
  auto summary = lines_of(dir, file_of(RUN, "_summary.txt"));
  std::vector<std::string> filtered;
  for (const std::string& l : console)
    if (!console_only(l)) filtered.push_back(l);
  EXPECT_EQ(filtered, summary);

  ASSERT_GE(summary.size(), 8u);
  EXPECT_EQ(summary[0], "  ");
  EXPECT_TRUE(summary[1].rfind(" Run " + file_of(RUN, "") + " (", 0) == 0) << summary[1];
  EXPECT_EQ(summary[2], " ====================================  ");
  EXPECT_EQ(summary[3], " Phase   1");
  const std::size_t n = summary.size();
  EXPECT_EQ(summary[n - 1], "  ");
  EXPECT_TRUE(std::regex_match(summary[n - 2],
                               std::regex(R"( Execution ended at: [0-9]{2}:[0-9]{2}:[0-9]{2})")))
      << summary[n - 2];
  EXPECT_EQ(summary[n - 3], "  ");

  // Each phase reports the k3 of its last output step; the concentration
  // lines carry that step's state.
  int phase = 0;
  for (std::size_t i = 0; i < summary.size(); ++i) {
    if (summary[i].rfind("   rate constants ki at end of phase", 0) == 0) {
      ++phase;
      EXPECT_EQ(summary[i],
                "   rate constants ki at end of phase  " + std::to_string(phase) + " :");
      int last = -1;
      for (int p = 0; p < phase; ++p) last += STEPS[p];
      ASSERT_LT(i + 3, summary.size());
      EXPECT_EQ(summary[i + 3].substr(0, 21), "   k3................");
      EXPECT_NEAR(fields(summary[i + 3].substr(21)).at(0), data[last][29], 1e-4 * data[last][29]);
    }
    if (summary[i].rfind("    concentrations at end of phase ", 0) == 0) {
      const std::string& l1 = summary.at(i + 1);
      EXPECT_EQ(l1.size(), 78u);
      EXPECT_EQ(l1.substr(52), std::string(4, ' ') + " !Ca_cyt,PMCA,Ca_ext,M");
    }
  }
  EXPECT_EQ(phase, 5);
}

// Maxima of Ca_cyt found the program's way from the data rows: the middle of
// three samples above both neighbours, the newest at or above the threshold.
std::vector<double> maxima_times(const std::vector<std::vector<double>>& rows, double threshold) {
  std::vector<double> t;
  for (std::size_t i = 2; i < rows.size(); ++i)
    if (rows[i][1] >= threshold && rows[i - 1][1] > rows[i][1] && rows[i - 1][1] > rows[i - 2][1])
      t.push_back(rows[i - 1][0]);
  return t;
}

std::string f10_3(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%10.3f", v);
  return std::string(buf).size() > 10 ? std::string(10, '*') : buf;
}

TEST(Velmo64v6Run, PeriodLinesInFixedPointFields) {
  struct period_case {
    const char* name;
    double scale;  // time unit: rates divided by it, times multiplied
  };
  for (const period_case& pc :
       {period_case{"seconds", 1.0}, period_case{"periods too long", 1e6}}) {
    SCOPED_TRACE(pc.name);
    input_file in = oscillator_base();
    in.times(0.0, 0.5 * pc.scale, {60 * pc.scale, 0, 0, 0, 0});
    in.k(1, 1.0 / pc.scale);
    in.k(3, 1.0 / pc.scale);
    in.k(5, 0.01 / pc.scale);
    in.k(6, 1.0 / pc.scale);
    scratch_dir dir;
    run_result r = run_with(dir, in);
    ASSERT_EQ(r.exit_status, 0) << r.err;

    auto rows = rows_of(dir, file_of(RUN, ".txt"));
    ASSERT_EQ(rows.size(), 121u);
    std::vector<double> tmax = maxima_times(rows, -1.0);
    const int n = static_cast<int>(tmax.size());
    ASSERT_GE(n, 8) << "the test model should ring for many periods";

    std::vector<std::string> want_lines;
    double persum = 0;
    for (int j = 3; j <= n - 3; ++j) {
      const double p = tmax[j] - tmax[j - 1];
      persum += p;
      char idx[16];
      std::snprintf(idx, sizeof idx, " %3d", j - 1);
      want_lines.push_back(idx + f10_3(p) + f10_3(6.283185307179586 / p));
    }
    std::vector<std::string> period_lines, echoes;
    for (const std::string& l : split_lines(r.out)) {
      if (std::regex_match(l, std::regex(R"(^ [ 0-9]{3}[ 0-9.*-]{10}[ 0-9.*-]{10}$)")))
        period_lines.push_back(l);
      if (std::regex_match(l, std::regex(R"(^   -?[0-9.E+-]+$)"))) echoes.push_back(l);
    }
    EXPECT_EQ(period_lines, want_lines);
    ASSERT_EQ(echoes.size(), tmax.size());  // every maximum echoed with its time
    for (int i = 0; i < n; ++i) EXPECT_NEAR(fields(echoes[i]).at(0), tmax[i], 1e-9 * pc.scale);
    if (pc.scale > 1) {
      for (const std::string& l : period_lines) EXPECT_EQ(l.substr(4, 10), "**********");
    }
    // <period> in the species table: the mean of the listed periods.
    bool seen = false;
    for (const std::string& l : lines_of(dir, file_of(RUN, "_summary.txt")))
      if (l.rfind("   <period>..........", 0) == 0) {
        seen = true;
        EXPECT_NEAR(fields(l.substr(21)).at(0), persum / (n - 5), 1e-4 * persum / (n - 5));
      }
    EXPECT_TRUE(seen);
  }
}

TEST(Velmo64v6Run, IntegratorFailureStopsAfterTheFluxRow) {
  // One output interval spans far more oscillations than the integrator's
  // step budget per call allows.
  input_file in = oscillator_base();
  in.times(0.0, 1e5, {3e5, 1, 1, 1, 1});
  scratch_dir dir;
  run_result r = run_with(dir, in);
  EXPECT_EQ(r.exit_status, 1);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m,
                                std::regex("\r\n\r\n\r\n ERROR HALT\\.\\. ISTATE =( -[1-9])\r\n$")))
      << r.out.substr(r.out.size() > 300 ? r.out.size() - 300 : 0);
  EXPECT_EQ(lines_of(dir, file_of(RUN, "_fluxes.txt")).size(), 2u);
  EXPECT_EQ(lines_of(dir, file_of(RUN, ".txt")).size(), 1u);
  EXPECT_EQ(lines_of(dir, file_of(RUN, "_sw.txt")).size(), 1u);
  // The ER file holds its one row and the integrator's message lines.
  auto er = lines_of(dir, file_of(RUN, "_ER.txt"));
  ASSERT_GE(er.size(), 2u);
  EXPECT_EQ(er[0].size(), 112u);
  EXPECT_NE(dir.read(file_of(RUN, "_ER.txt")).find("INTEG--"), std::string::npos);
  // No phase report, no end-of-run line; what was written is flushed.
  EXPECT_EQ(r.out.find("Execution ended"), std::string::npos);
  EXPECT_TRUE(all_crlf(dir.read(file_of(RUN, "_summary.txt"))));
  EXPECT_EQ(dir.read(file_of(RUN, "_summary.txt")).find("rate constants"), std::string::npos);
}

}  // namespace
}  // namespace velmo64v6_test

namespace velmo64v6_test {
namespace {

TEST(Velmo64v6Run, ShippedExampleRunsAllFivePhasesWithRamps) {
  scratch_dir dir;
  dir.write("VELMO64v6.INP", testing_support::read_file(testing_support::source_dir() +
                                                        "/examples/velmo64v6/VELMO64v6.INP"));
  run_result r = dir.run("velmo64v6");
  ASSERT_EQ(r.exit_status, 0) << r.err;
  int phases = 0;
  for (const std::string& l : split_lines(r.out)) phases += l.rfind(" Phase ", 0) == 0;
  EXPECT_EQ(phases, 5);
  // Durations 30, 120, 120, 60 and 60 s at 0.5 s, each phase with its first step.
  auto rows = rows_of(dir, "DEMO64V6_RUN.txt");
  ASSERT_EQ(rows.size(), 61u + 241 + 241 + 121 + 121);
  // k3 climbs through phase 2 and relaxes through phase 3; k1 rises in phase 2.
  EXPECT_LT(rows[61][29], rows[61 + 240][29]);
  EXPECT_GT(rows[302][29], rows[302 + 240][29]);
  EXPECT_LT(rows[61][30], rows[61 + 240][30]);
}

}  // namespace
}  // namespace velmo64v6_test
