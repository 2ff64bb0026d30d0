// Parameter files for the velmo64v6 end-to-end tests, built in code.
//
// The base model is reduced to the PMCA set-point loop: Ca_cyt enters at
// k1*Ca_ext and leaves through a Ca-saturated pump whose activation by
// Ca_cyt is drawn from a large PMCA.M pool and whose deactivation is
// saturated. That is an integral controller, Ca' ~ k1 - PMCA.M*,
// PMCA.M*' ~ Ca - 1: a lightly damped oscillation of period about 2 pi
// around Ca_cyt = 1. Every other process is off.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace velmo64v6_test {

struct input_file {
  std::vector<std::string> lines;  // lines[0] is line 1

  void set(int line, const std::string& text) { lines.at(line - 1) = text; }
  std::string text() const {
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
  }
  // Time line: TPRINT start, DTOUT, five durations.
  void times(double tprint, double dtout, std::vector<double> tphase) {
    std::ostringstream o;
    o.precision(17);
    o << tprint << " " << dtout;
    for (double t : tphase) o << " " << t;
    set(2, o.str());
  }
  void k(int n, double v) { set(n + 2, num(v) + "  k" + std::to_string(n)); }

  static std::string num(double v) {
    std::ostringstream o;
    o.precision(17);
    o << v;
    return o.str();
  }
};

inline input_file oscillator_base() {
  input_file f;
  f.lines.assign(110, "");
  f.set(1, "OSC");
  f.times(0.0, 0.5, {10, 0, 0, 0, 0});
  for (int n = 1; n <= 68; ++n) f.k(n, 0.0);
  f.k(1, 1.0);   // leak
  f.k(3, 1.0);   // pump rate
  f.k(4, 1e-3);  // pump saturated in Ca_cyt
  f.k(5, 0.01);  // activation
  f.k(6, 1.0);   // deactivation, saturated
  f.k(7, 1e-3);
  f.k(22, 1.0);  // keep the inactive branches free of 0/0
  for (int n = 39; n <= 43; ++n) f.k(n, 1.0);
  f.k(62, 1.0);
  // Phase-change lines 71..96.
  const char* phases[26] = {"0.5, 0.3 K1P2 K1P2COEFF",
                            "0 K2P2",
                            "0.7, 0.05 K3P2 K3P2COEFF",
                            "0",
                            "0",
                            "0",
                            "0",
                            "0",
                            "0.2 K63P2",
                            "1.2 K1P3",
                            "0 K2P3",
                            "0.9, 0.4 K3P3 K3P3COEFF",
                            "0",
                            "0",
                            "0",
                            "0",
                            "0",
                            "0.3 K63P3",
                            "0.6, 0.25 K1P4 K1P4COEFF",
                            "0 K2P4",
                            "1.1, 0.02 K3P4 K3P4COEFF",
                            "0.4 K63P4",
                            "0.8 K1P5",
                            "0 K2P5",
                            "1.3, 0.5 K3P5 K3P5COEFF",
                            "0.5 K63P5"};
  for (int i = 0; i < 26; ++i) f.set(71 + i, phases[i]);
  f.set(97, "1.5, 1.0, 1.0, 0  !Ca_cyt,PMCA.M*,Ca_ext,M");
  f.set(98, "0, 0, 0, 100  !MCa4,B,BCa4,PMCA.M");
  f.set(99, "0, 0, 0, 0");
  f.set(100, "0, 0, 0, 0");
  f.set(101, "0, 0, 0, 1  !ARCC,IP3R,IP3,Ind");
  f.set(102, "0, 0, 0, 0");
  f.set(103, "0, 0, 0, 0");
  f.set(104, "3  NSW");
  f.set(105, "-1  OFFSET1");
  f.set(106, "-1  OFFSET2");
  f.set(107, "-1  OFFSET3");
  f.set(108, "1.0, 1e-3, 340");
  f.set(109, "1.0, 1e-3, 380");
  f.set(110, "0.1, 1e-4, 300");
  return f;
}

}  // namespace velmo64v6_test
