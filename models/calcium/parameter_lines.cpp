#include "models/calcium/parameter_lines.h"

#include <cstdio>

#include "models/calcium/oscillation.h"
#include "textio/value_checks.h"

namespace calcium {

namespace {

using textio::real;

// A value the reader took but the run cannot use, reported on its line.
bool reject(const textio::value_reader& in, const char* item, std::string what,
            textio::read_error* err) {
  err->file = in.file_name();
  err->line = in.line_number();
  err->item = item;
  err->what = std::move(what);
  return false;
}

}  // namespace

bool read_time_line(textio::value_reader& in, double& TPRINT, double& DTOUT, double (&TPHASE)[5],
                    textio::read_error* err) {
  static const char* const phase[5] = {"TPHASE(1)", "TPHASE(2)", "TPHASE(3)", "TPHASE(4)",
                                       "TPHASE(5)"};
  double* t = TPHASE;
  if (!in.read({real("TPRINT", TPRINT), real("DTOUT", DTOUT), real(phase[0], t[0]),
                real(phase[1], t[1]), real(phase[2], t[2]), real(phase[3], t[3]),
                real(phase[4], t[4])},
               err))
    return false;
  if (!textio::require_finite_time(in, "TPRINT", "the time column's start", TPRINT, err) ||
      !textio::require_finite_time(in, "DTOUT", "the output interval", DTOUT, err))
    return false;
  for (int i = 0; i < 5; ++i)
    if (!textio::require_finite_time(in, phase[i], "the phase duration", t[i], err)) return false;
  if (!(DTOUT < 0.0)) return true;
  char v[40];
  std::snprintf(v, sizeof v, "%g", DTOUT);
  return reject(in, "DTOUT", std::string("the output interval must not be negative, found ") + v,
                err);
}

bool read_state_line(textio::value_reader& in, double* Y, const int (&elements)[4],
                     const char* const* labels, textio::read_error* err) {
  const int* e = elements;
  return in.read({real(labels[e[0]], Y[e[0]]), real(labels[e[1]], Y[e[1]]),
                  real(labels[e[2]], Y[e[2]]), real(labels[e[3]], Y[e[3]])},
                 err);
}

std::string window_length_problem(int nsw) {
  return "the window length must lie between 1 and " + std::to_string(window_capacity) +
         ", found " + std::to_string(nsw);
}

bool read_window_length(textio::value_reader& in, int& NSW, textio::read_error* err) {
  if (!in.read({textio::integer("NSW", NSW)}, err)) return false;
  return window_length_ok(NSW) || reject(in, "NSW", window_length_problem(NSW), err);
}

bool read_thresholds(textio::value_reader& in, double (&OFFSET)[3], textio::read_error* err) {
  return in.read({real("OFFSET1", OFFSET[0])}, err) && in.read({real("OFFSET2", OFFSET[1])}, err) &&
         in.read({real("OFFSET3", OFFSET[2])}, err);
}

bool read_bands(textio::value_reader& in, band (&BAND)[3], textio::read_error* err) {
  static const char* const names[3][3] = {{"epsilon(1)", "sigma(1)", "lamda(1)"},
                                          {"epsilon(2)", "sigma(2)", "lamda(2)"},
                                          {"epsilon(3)", "sigma(3)", "lamda(3)"}};
  for (int b = 0; b < 3; ++b) {
    band& d = BAND[b];
    if (!in.read({real(names[b][0], d.epsilon), real(names[b][1], d.sigma),
                  real(names[b][2], d.lamda)},
                 err))
      return false;
  }
  return true;
}

}  // namespace calcium
