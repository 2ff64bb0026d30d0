// The run data of one calcium-program run: everything the main program owns
// between reading the parameter file and the end of the run (apart from the
// global rate-constant block, which the configuration points to). One value
// of this type lives for the whole run; nothing in it allocates.
#pragma once

#include <cstddef>
#include <string_view>

#include "models/calcium/derived.h"
#include "models/calcium/frame_config.h"
#include "models/calcium/optics.h"
#include "models/calcium/oscillation.h"
#include "models/calcium/state_vector.h"

namespace calcium {

inline constexpr int rwork_length = 1982;
inline constexpr int iwork_length = 60;

struct run_state {
  // Parameter file.
  char RUNNAME[max_runname_length];  // blank-padded, runname_length characters
  int runname_length = 0;
  std::string_view run_name() const { return {RUNNAME, static_cast<std::size_t>(runname_length)}; }
  double TPRINT = 0.0;  // time column; starts at the first value of the time line
  double DTOUT = 0.0;
  double TPHASE[phase_count] = {};
  int NOUT[phase_count] = {};
  int NSW = 0;
  double OFFSET[3] = {};
  // phase_change[i][v]: value v+1 of phase-change line first_phase_change_line+i.
  double phase_change[max_phase_change_lines][2] = {};
  double Y[species_count] = {};  // the first NEQ in use

  // Set up after reading.
  double Kd_M = 0.0;       // k9/k8
  double Kd_B = 0.0;       // k11/k10
  double Kd_PMCA_M = 0.0;  // k13/k12
  double Kd_NCX_M = 0.0;   // k68/k67
  int NCOUNT = 0;

  // Run driver.
  int IPHASE = 0;
  double duration = 0.0;  // current phase duration
  int nout = 0;           // current NOUT
  double T = 0.0;
  double TOUT = 0.0;
  int ISTATE = 1;
  double RWORK[rwork_length] = {};
  int IWORK[iwork_length] = {};

  // Per-step quantities and analyses.
  derived_quantities d;
  indicator optics;
  sliding_window window;
  peak_detector detector;
};

}  // namespace calcium
