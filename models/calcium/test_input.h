// Test support: a small, quiet parameter file of a calcium program (velmo67,
// velmo66, velmo65) built in code for the program's line layout, with setters
// for the lines that the tests vary. Rate constants near a resting cell, so
// a run of a few short phases takes well under a second. Every line carries
// its values, three blanks and a note.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace calcium_testing {

// The line layout of one program's file: the phase-change block from line 82
// holds `phase_change_lines` lines of one value, two on `two_value_lines`;
// the 78 rate constants, the state, NOUT, window, threshold and band lines
// are laid out around it alike in every program.
struct input_layout {
  int phase_change_lines;
  std::vector<int> two_value_lines;
  // {line, n}: the phase-change line that a phase switch of kn reads (its
  // first value). The base file puts kn's rate-line value there, so that no
  // switch changes anything unless a test sets one.
  std::vector<std::pair<int, int>> switch_lines;
};

class input_file {
 public:
  static constexpr int first_phase_change_line = 82;

  explicit input_file(input_layout layout) : layout_(std::move(layout)), lines_(line_count()) {
    set(1, "test       run name");
    set_times(0.0, 0.1, 1.0, 1.0, 1.0, 1.0, 1.0);
    for (int n = 1; n <= 78; ++n) set_k(n, base_k[n - 1]);
    set(81, "2.0   COOPSTIM");
    for (int line = first_phase_change_line; line < state_line(); ++line)
      set(line, is_pair(line) ? "0.5 0.5   phase-change pair" : "0.5   phase-change value");
    for (const auto& [line, n] : layout_.switch_lines) set_phase_value(line, base_k[n - 1]);
    const char* const state[8] = {
        " 1.00000E-01, 5.00000E-02, 2.00000E+03, 5.00000E+00 !Ca_cyt,PMCA.M*,Ca_ext,M",
        " 5.00000E-01, 4.00000E+01, 5.00000E+00, 5.00000E-01 !MCa4,B,BCa4,PMCA.M",
        " 1.00000E+00, 1.00000E+00, 4.00000E+02, 5.00000E-01 !PMCA,SERCA,Ca_lum,L",
        " 5.00000E-01, 1.00000E-01, 1.00000E+00, 1.00000E-01 !LCa30,S,R,R.S",
        " 1.00000E+00, 5.00000E-01, 1.00000E-01, 8.00000E-01 !ARCC,IP3R.IP3,IP3,Ind",
        " 2.00000E-01, 1.00000E-01, 1.00000E+00, 1.00000E-01 !Cacyt.Ind,S2,Gprot,GS2",
        " 1.00000E-01, 5.00000E-02, 5.00000E-01, 1.00000E+00 !PLC,NCX.M*,NCX.M,NCX",
        " 1.00000E-01, 1.00000E-01, 1.00000E+00, 5.00000E-01 !STIM,STIM.Ca,SOCC,IP3R"};
    for (int i = 0; i < 8; ++i) set(state_line() + i, state[i]);
    set_nout(0, 0, 0, 0, 0);
    set(nsw_line(), "5   NSW");
    for (int i = 1; i <= 3; ++i) set(offset_line(i), "1.0e9   OFFSET" + std::to_string(i));
    set(band_line(1), "1.0 0.00125 340.0   band of the bound form");
    set(band_line(2), "0.8 0.00125 380.0   band of the free form");
    set(band_line(3), "0.05 0.0005 500.0   third band");
  }

  // Line numbers of the blocks after the phase-change lines.
  int line_count() const { return state_line() + 8 + 1 + 1 + 3 + 3 - 1; }
  int state_line() const { return first_phase_change_line + layout_.phase_change_lines; }
  int nout_line() const { return state_line() + 8; }
  int nsw_line() const { return nout_line() + 1; }
  int offset_line(int i) const { return nsw_line() + i; }  // i = 1..3
  int band_line(int i) const { return offset_line(3) + i; }
  bool is_pair(int line) const {
    for (int l : layout_.two_value_lines)
      if (l == line) return true;
    return false;
  }

  void set(int line, const std::string& text) { lines_.at(line - 1) = text; }
  const std::string& get(int line) const { return lines_.at(line - 1); }

  void set_times(double tprint, double dtout, double t1, double t2, double t3, double t4,
                 double t5) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%.17g %.17g %.17g %.17g %.17g %.17g %.17g   time line", tprint,
                  dtout, t1, t2, t3, t4, t5);
    set(2, buf);
  }
  void set_k(int n, double v) { set(n + 2, number(v) + "   k" + std::to_string(n)); }
  // A phase-change line holding `v` (as its first value on a pair line).
  void set_phase_value(int line, double v, bool pair = false) {
    set(line, number(v) + (pair || is_pair(line) ? " 0.5" : "") + "   phase switch");
  }
  void set_nout(int a, int b, int c, int d, int e) {
    set(nout_line(), std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " +
                         std::to_string(d) + " " + std::to_string(e) + "   NOUT");
  }
  // Element i (0..3) of initial-state line `k` (0..7) set to v.
  void set_state(int k, int i, double v) {
    std::string line = get(state_line() + k);
    char field[16];
    std::snprintf(field, sizeof field, "%12.5E", v);
    line.replace(1 + 13 * i, 12, field);
    set(state_line() + k, line);
  }
  // Drops the notes of lines first..last, leaving the values alone.
  void drop_notes(int first, int last) {
    for (int line = first; line <= last; ++line) {
      std::string& l = lines_.at(line - 1);
      l = l.substr(0, l.find("   "));
    }
  }

  std::string text(const char* line_end = "\n") const { return head(line_count(), line_end); }
  // The first `n` lines only.
  std::string head(int n, const char* line_end = "\n") const {
    std::string t;
    for (int i = 0; i < n; ++i) t += lines_.at(i) + line_end;
    return t;
  }

  static std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
  }

  // k1..k78 of the base file.
  static constexpr double base_k[78] = {
      1.0e-5, 0.05,  20.0,   0.5,    1.0,   0.05,  0.01,   5.0,   5.0,   10.0,   // k1-k10
      20.0,   1.0,   1.0,    0.001,  0.001, 0.01,  0.001,  0.05,  0.001, 0.4,    // k11-k20
      0.001,  0.1,   5.0,    0.3,    0.002, 1.0,   0.002,  0.0,   0.0,   0.001,  // k21-k30
      0.01,   0.001, 0.001,  1.0,    1.0,   0.01,  1000.0, 20.0,  200.0, 0.5,    // k31-k40
      1.0,    2.0,   0.01,   0.001,  0.001, 0.1,   0.1,    0.001, 0.001, 100.0,  // k41-k50
      22.0,   0.001, 0.01,   1.0,    1.0,   0.1,   0.1,    0.001, 0.001, 1.0,    // k51-k60
      0.05,   0.01,  10.0,   1.0,    0.001, 0.001, 1.0,    1.0,   0.0,   0.0,    // k61-k70
      1.6e-5, 1.0,   1.0e-4, 1000.0, 0.001, 0.001, 1.0,    0.1};                 // k71-k78

 private:
  input_layout layout_;
  std::vector<std::string> lines_;
};

}  // namespace calcium_testing
