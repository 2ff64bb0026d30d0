// Oscillation analysis of cytosolic calcium, shared by the calcium programs:
// the sliding-window mean <Ca_cyt>sw, the maximum detector with its per-phase
// table of maximum times, and the period analysis written at each phase end.
#pragma once

#include <limits>

namespace calcium {

inline constexpr int window_capacity = 1000;  // WINDOW(1..1000)
inline constexpr int tmax_capacity = 501;     // TMAX(0..500)

// A window length NSW the window can take.
constexpr bool window_length_ok(int nsw) { return nsw >= 1 && nsw <= window_capacity; }

// Sliding window over the last NSW output steps. Runs on across phases.
struct sliding_window {
  int NSW = 1;
  double WINDOW[window_capacity] = {};  // WINDOW[i-1] is WINDOW(i)
  long long NSAMP = 0;                  // samples taken so far
  double sum = 0.0;
  double mean = 0.0;  // <Ca_cyt>sw; 0 until first filled
};

// State after reading: WINDOW all 0, NSAMP 0, sum and mean 0, NSW := nsw.
// Returns false when !window_length_ok(nsw): such a window takes no samples
// and its mean stays 0, so no run may go on with it.
[[nodiscard]] bool window_reset(sliding_window& w, int nsw);

// Takes this output step's clamped Ca_cyt; updates w.mean once the window
// has filled. Never indexes outside WINDOW.
void window_sample(sliding_window& w, double ca);

// The maximum detector looks for maxima in phases 1 to this one.
inline constexpr int detector_last_phase = 3;

// Which maxima are echoed on the console, and how.
enum class max_echo {
  phase2_time_and_ca,   // velmo67/66: phase 2 only, maximum time and this step's Ca_cyt
  time_only_phases123,  // velmo64v6: phases 1-3, the maximum time alone
};

// The first and the last phase whose maxima `echo` writes on the console.
struct phase_span {
  int first;
  int last;
};
// velmo67 and velmo66 (the run frame's programs with a detector).
inline constexpr max_echo frame_max_echo = max_echo::phase2_time_and_ca;

constexpr phase_span echoed_phases(max_echo echo) {
  return echo == max_echo::phase2_time_and_ca ? phase_span{2, 2}
                                              : phase_span{1, detector_last_phase};
}

// Layout of a period-list line.
enum class period_layout {
  scientific,  // "(1X,1I3,1PE12.4,1PE12.4)", 28 characters (velmo67/66)
  fixed,       // "(1X,1I3,1F10.3,1F10.3)", 24 characters (velmo64v6)
};

// Maximum detector and period analysis. CAHIST is never reset; TMAX, NMAX,
// PERSUM and period are cleared at every phase start.
struct peak_detector {
  // CAHIST: newest, middle, oldest sample; times of newest and middle.
  // Start as NaN so that no maximum can be found before three real samples.
  static constexpr double no_sample = std::numeric_limits<double>::quiet_NaN();
  double ca_newest = no_sample, ca_middle = no_sample, ca_oldest = no_sample;
  double t_newest = 0.0, t_middle = 0.0;
  double OFFSET[3] = {0.0, 0.0, 0.0};  // thresholds of phases 1, 2, 3
  double TMAX[tmax_capacity] = {};     // TMAX[n]: time of the (n+1)-th maximum
  int NMAX = 0;                        // maxima recorded in the running phase
  long long maxima_found = 0;          // maxima detected, recorded or not
  double PERSUM = 0.0;
  double period = 0.0;  // <period>
  max_echo echo = max_echo::phase2_time_and_ca;
  period_layout layout = period_layout::scientific;
};

// State after reading.
void detector_reset(peak_detector& d, double offset1, double offset2, double offset3, max_echo echo,
                    period_layout layout);

// Phase start: NMAX, PERSUM, period := 0 and TMAX cleared.
void detector_phase_start(peak_detector& d);

// One output step: shifts the history (every phase) and, in phases 1..3,
// tests the middle sample for a maximum. `tprint` is this step's TPRINT
// before its advance. A maximum beyond tmax_capacity in one phase is echoed
// but not recorded; the run goes on. Returns true on a maximum.
bool detector_step(peak_detector& d, int iphase, double ca, double tprint);

// Phase end: writes the period list to the console, "no maximum found" (to
// the console, then the summary file) for exactly two maxima, and sets and
// returns <period>. Five maxima give <period> 0.
double period_analysis(peak_detector& d);

}  // namespace calcium
