// Test support: a small, quiet VELMO67.INP built in code (161 lines), with
// setters for the lines that the tests vary. Rate constants near a resting
// cell, so a run of a few short phases takes well under a second.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace velmo67_testing {

class input_file {
 public:
  static constexpr int line_count = 161;

  input_file() : lines_(line_count) {
    set(1, "t67        run name");
    set_times(0.0, 0.1, 1.0, 1.0, 1.0, 1.0, 1.0);
    for (int n = 1; n <= 78; ++n) set_k(n, base_k[n - 1]);
    set(81, "2.0   COOPSTIM");
    for (int line = 82; line <= 145; ++line) {
      const bool two = line == 82 || line == 84 || line == 107 || line == 113 || line == 130 ||
                       line == 132 || line == 135 || line == 139;
      set(line, two ? "0.5 0.5   phase-change pair" : "0.5   phase-change value");
    }
    // The used phase-change values: the rate-line values, so that no switch
    // changes anything unless a test sets one.
    set_phase_value(102, base_k[46 - 1]);
    set_phase_value(121, base_k[23 - 1]);
    set_phase_value(130, base_k[1 - 1], true);
    set_phase_value(131, base_k[2 - 1]);
    set_phase_value(132, base_k[3 - 1], true);
    set_phase_value(133, base_k[20 - 1]);
    set_phase_value(134, base_k[63 - 1]);
    set_phase_value(135, base_k[73 - 1], true);
    set_phase_value(137, base_k[1 - 1]);
    set_phase_value(138, base_k[2 - 1]);
    set_phase_value(139, base_k[3 - 1], true);
    set_phase_value(140, base_k[20 - 1]);
    set_phase_value(143, base_k[63 - 1]);
    set_phase_value(144, base_k[73 - 1]);
    set(146, " 1.00000E-01, 5.00000E-02, 2.00000E+03, 5.00000E+00 !Ca_cyt,PMCA.M*,Ca_ext,M");
    set(147, " 5.00000E-01, 4.00000E+01, 5.00000E+00, 5.00000E-01 !MCa4,B,BCa4,PMCA.M");
    set(148, " 1.00000E+00, 1.00000E+00, 4.00000E+02, 5.00000E-01 !PMCA,SERCA,Ca_lum,L");
    set(149, " 5.00000E-01, 1.00000E-01, 1.00000E+00, 1.00000E-01 !LCa30,S,R,R.S");
    set(150, " 1.00000E+00, 5.00000E-01, 1.00000E-01, 8.00000E-01 !ARCC,IP3R.IP3,IP3,Ind");
    set(151, " 2.00000E-01, 1.00000E-01, 1.00000E+00, 1.00000E-01 !Cacyt.Ind,S2,Gprot,GS2");
    set(152, " 1.00000E-01, 5.00000E-02, 5.00000E-01, 1.00000E+00 !PLC,NCX.M*,NCX.M,NCX");
    set(153, " 1.00000E-01, 1.00000E-01, 1.00000E+00, 5.00000E-01 !STIM,STIM.Ca,SOCC,IP3R");
    set(154, "0 0 0 0 0   NOUT(1..5)");
    set(155, "5   NSW");
    set(156, "1.0e9   OFFSET1");
    set(157, "1.0e9   OFFSET2");
    set(158, "1.0e9   OFFSET3");
    set(159, "1.0 0.00125 340.0   band of the bound form");
    set(160, "0.8 0.00125 380.0   band of the free form");
    set(161, "0.05 0.0005 500.0   third band");
  }

  void set(int line, const std::string& text) { lines_[line - 1] = text; }
  const std::string& get(int line) const { return lines_[line - 1]; }

  void set_times(double tprint, double dtout, double t1, double t2, double t3, double t4,
                 double t5) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%.17g %.17g %.17g %.17g %.17g %.17g %.17g   time line",
                  tprint, dtout, t1, t2, t3, t4, t5);
    set(2, buf);
  }
  void set_k(int n, double v) { set(n + 2, number(v) + "   k" + std::to_string(n)); }
  // One-value line, or the first value of a two-value line.
  void set_phase_value(int line, double v, bool pair = false) {
    set(line, number(v) + (pair ? " 0.5" : "") + "   phase switch");
  }
  void set_nout(int a, int b, int c, int d, int e) {
    set(154, std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " +
                 std::to_string(d) + " " + std::to_string(e) + "   NOUT");
  }

  std::string text() const {
    std::string t;
    for (const std::string& l : lines_) t += l + "\n";
    return t;
  }
  // The first `n` lines only.
  std::string head(int n) const {
    std::string t;
    for (int i = 0; i < n; ++i) t += lines_[i] + "\n";
    return t;
  }

  static std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
  }

  // k1..k78 of the base file.
  static constexpr double base_k[78] = {
      1.0e-5, 0.05,  20.0,  0.5,   1.0,    0.05,  0.01,  5.0,    5.0,    10.0,   // k1-k10
      20.0,   1.0,   1.0,   0.001, 0.001,  0.01,  0.001, 0.05,   0.001,  0.4,    // k11-k20
      0.001,  0.1,   5.0,   0.3,   0.002,  1.0,   0.002, 0.0,    0.0,    0.001,  // k21-k30
      0.01,   0.001, 0.001, 1.0,   1.0,    0.01,  1000.0, 20.0,  200.0,  0.5,    // k31-k40
      1.0,    2.0,   0.01,  0.001, 0.001,  0.1,   0.1,   0.001,  0.001,  100.0,  // k41-k50
      22.0,   0.001, 0.01,  1.0,   1.0,    0.1,   0.1,   0.001,  0.001,  1.0,    // k51-k60
      0.05,   0.01,  10.0,  1.0,   0.001,  0.001, 1.0,   1.0,    0.0,    0.0,    // k61-k70
      1.6e-5, 1.0,   1.0e-4, 1000.0, 0.001, 0.001, 1.0,  0.1};                   // k71-k78

 private:
  std::vector<std::string> lines_;
};

}  // namespace velmo67_testing
