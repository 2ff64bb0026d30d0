#include "models/calcium/parameter_lines.h"

#include <cstdio>

#include "models/calcium/oscillation.h"
#include "textio/value_checks.h"

namespace calcium {

namespace {

std::string unusable_start(const parameter_value& v) {
  return textio::non_finite_time("the time column's start", *v.real);
}

std::string unusable_interval(const parameter_value& v) {
  std::string problem = textio::non_finite_time("the output interval", *v.real);
  if (!problem.empty() || !(*v.real < 0.0)) return problem;
  char found[40];
  std::snprintf(found, sizeof found, "%g", *v.real);
  return std::string("the output interval must not be negative, found ") + found;
}

std::string unusable_duration(const parameter_value& v) {
  return textio::non_finite_time("the phase duration", *v.real);
}

std::string unusable_window(const parameter_value& v) {
  return window_length_ok(*v.integer) ? std::string() : window_length_problem(*v.integer);
}

}  // namespace

parameter_line time_line(double& TPRINT, double& DTOUT, double (&TPHASE)[5],
                         std::string dtout_meaning) {
  parameter_line line;
  auto& v = line.values;
  v.push_back(
      real_value("TPRINT", "start value of the time column TPRINT", TPRINT, unusable_start));
  v.push_back(real_value("DTOUT", std::move(dtout_meaning), DTOUT, unusable_interval));
  for (int p = 1; p <= 5; ++p)
    v.push_back(real_value("TPHASE(" + std::to_string(p) + ")",
                           "duration of phase " + std::to_string(p) +
                               (p == 1 ? "" : "; exactly 0 ends the run before the phase"),
                           TPHASE[p - 1], unusable_duration));
  return line;
}

parameter_line state_line(double* Y, const int (&elements)[4], const char* const* labels,
                          const char* const* meanings) {
  parameter_line line;
  for (int e : elements)
    line.values.push_back(
        real_value(labels[e],
                   std::string("initial ") + meanings[e] + ", Y(" + std::to_string(e + 1) + ")",
                   Y[e]));
  return line;
}

std::string window_length_problem(int nsw) {
  return "the window length must lie between 1 and " + std::to_string(window_capacity) +
         ", found " + std::to_string(nsw);
}

parameter_line window_length_line(int& NSW) {
  parameter_line line;
  line.values.push_back(
      integer_value("NSW",
                    "length of the sliding window of Ca_cyt in output steps, 1 to " +
                        std::to_string(window_capacity),
                    NSW, unusable_window));
  return line;
}

parameter_layout_lines threshold_lines(double (&OFFSET)[3], bool detector) {
  parameter_layout_lines lines(3);
  for (int p = 1; p <= 3; ++p) {
    const std::string meaning =
        detector ? "Ca_cyt threshold of the maximum detector in phase " + std::to_string(p)
                 : "threshold " + std::to_string(p) + ", only copied to \"tmp\"";
    lines[p - 1].values.push_back(real_value("OFFSET" + std::to_string(p), meaning, OFFSET[p - 1]));
  }
  return lines;
}

parameter_layout_lines band_lines(band (&BAND)[3]) {
  static const char* const what[3] = {"the Ca-bound indicator", "the free indicator",
                                      "the third peak"};
  parameter_layout_lines lines(3);
  for (int b = 0; b < 3; ++b) {
    const std::string n = "(" + std::to_string(b + 1) + ")";
    const std::string of = " of the emission band of " + std::string(what[b]);
    auto& v = lines[b].values;
    v.push_back(real_value("epsilon" + n, "amplitude" + of, BAND[b].epsilon));
    v.push_back(real_value("sigma" + n, "width coefficient" + of, BAND[b].sigma));
    v.push_back(real_value("lamda" + n, "centre wavelength" + of, BAND[b].lamda));
  }
  return lines;
}

}  // namespace calcium
