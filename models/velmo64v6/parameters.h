// Everything velmo64v6 reads from "VELMO64v6.INP" (110 value lines).
#pragma once

#include <string>
#include <string_view>

#include "models/calcium/optics.h"
#include "models/calcium/parameter_values.h"
#include "textio/units.h"
#include "textio/value_reader.h"

namespace velmo64v6 {

constexpr int runname_length = 12;
constexpr const char* parameter_file_name = "VELMO64v6.INP";
// Of every line of every file, the console and the error line.
constexpr textio::line_end line_end = textio::line_end::crlf;

// The phase values of the switched constants and the ramp coefficients
// (KnPm is kn in phase m).
struct phase_changes {
  double K1P2 = 0, K1P2COEFF = 0, K2P2 = 0, K3P2 = 0, K3P2COEFF = 0, K23P2 = 0, K27P2 = 0,
         K30P2 = 0, K38P2 = 0, K56P2 = 0, K63P2 = 0;
  double K1P3 = 0, K2P3 = 0, K3P3 = 0, K3P3COEFF = 0, K23P3 = 0, K27P3 = 0, K30P3 = 0, K38P3 = 0,
         K56P3 = 0, K63P3 = 0;
  double K1P4 = 0, K1P4COEFF = 0, K2P4 = 0, K3P4 = 0, K3P4COEFF = 0, K63P4 = 0;
  double K1P5 = 0, K2P5 = 0, K3P5 = 0, K3P5COEFF = 0, K63P5 = 0;
};

// Values as read. The rate constants go to `ratcon` (network.h); `k` here
// keeps the copy as read (k[n] is kn, k[0] unused) for the echo file.
struct parameters {
  char RUNNAME[runname_length] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  double TPRINT0 = 0, DTOUT = 0;
  double TPHASE[5] = {};
  double k[69] = {};
  phase_changes pc;
  double Y[29] = {};  // Y[3] (Ca_cyt_int) is never read and stays 0
  int NSW = 0;
  double OFFSET[3] = {};
  calcium::band BAND[3];  // bound form, free form, third peak
  double K1READ = 0, K3READ = 0;

  std::string_view run_name() const { return {RUNNAME, runname_length}; }
};

// The 110 lines of the file on the destinations of *p.
calcium::parameter_layout_lines parameter_lines(parameters& p);

// Reads `file` line by line into *p. Rejects a NaN or infinite time of line
// 2, a negative DTOUT and an NSW the sliding window cannot take as errors of
// their line; a run name cut to 12 characters leaves the line that says so
// in *run_name_notice (when given; emptied otherwise). Returns false with
// *err set on the first problem.
bool read_parameters(const std::string& file, parameters* p, textio::read_error* err,
                     std::string* run_name_notice = nullptr);

// Fills `ratcon` slots 1..50 and 53..70 from the values as read.
void load_rate_constants(const parameters& p);

}  // namespace velmo64v6
