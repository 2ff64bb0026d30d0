#include "models/calcium/value_checks.h"

#include <cstdio>

#include "models/calcium/oscillation.h"

namespace calcium {

namespace {

bool reject(const textio::value_reader& in, const char* item, std::string what,
            textio::read_error* err) {
  err->file = in.file_name();
  err->line = in.line_number();
  err->item = item;
  err->what = std::move(what);
  return false;
}

}  // namespace

bool check_output_interval(const textio::value_reader& in, double dtout, textio::read_error* err) {
  if (!(dtout < 0.0)) return true;
  char v[40];
  std::snprintf(v, sizeof v, "%g", dtout);
  return reject(in, "DTOUT", std::string("the output interval must not be negative, found ") + v,
                err);
}

std::string window_length_problem(int nsw) {
  return "the window length must lie between 1 and " + std::to_string(window_capacity) +
         ", found " + std::to_string(nsw);
}

bool check_window_length(const textio::value_reader& in, int nsw, textio::read_error* err) {
  if (window_length_ok(nsw)) return true;
  return reject(in, "NSW", window_length_problem(nsw), err);
}

}  // namespace calcium
