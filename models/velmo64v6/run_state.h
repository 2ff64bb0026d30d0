// Everything a velmo64v6 run owns between reading its parameter file and the
// end of the run, apart from the global `ratcon`. One value lives for the
// whole run; nothing in it allocates.
#pragma once

#include "models/calcium/optics.h"
#include "models/calcium/oscillation.h"
#include "models/velmo64v6/derived.h"
#include "models/velmo64v6/network.h"
#include "models/velmo64v6/parameters.h"

namespace velmo64v6 {

constexpr int rwork_length = 1192;
constexpr int iwork_length = 50;

// Every maximum of phases 1 to 3 is echoed, its time alone.
inline constexpr calcium::max_echo maximum_echo = calcium::max_echo::time_only_phases123;

struct run_state {
  parameters p;  // as read; never changed

  double Y[NEQ] = {};
  double TPRINT = 0.0;
  int IPHASE = 0;
  double duration = 0.0;  // current phase duration
  double K3END2 = 0.0, K3END4 = 0.0;

  // Integrator call (the controls: calcium/integration.h).
  int ISTATE = 1;
  double T = 0.0, TOUT = 0.0;
  double RWORK[rwork_length] = {};
  int IWORK[iwork_length] = {};

  // Dissociation constants, from the values as read.
  double Kd_M = 0, Kd_NCX_M = 0, Kd_B = 0, Kd_PMCA_M = 0;

  step_quantities q;
  calcium::indicator optics;
  calcium::sliding_window window;
  calcium::peak_detector detector;
};

// Set-up after reading: state vector, rate constants, dissociation constants,
// indicator, window and detector.
// False, with the set-up incomplete, when the window cannot take s.p.NSW
// (read_parameters never accepts such a length).
[[nodiscard]] bool set_up(run_state& s);

}  // namespace velmo64v6
