#include "models/calcium/oscillation.h"

#include <limits>

#include "models/calcium/report_output.h"
#include "textio/freeform.h"
#include "textio/line.h"
#include "textio/units.h"

namespace calcium {

namespace {
constexpr double two_pi = 6.283185307179586;
}

bool window_reset(sliding_window& w, int nsw) {
  for (double& v : w.WINDOW) v = 0.0;
  w.NSAMP = 0;
  w.sum = 0.0;
  w.mean = 0.0;
  w.NSW = nsw;
  return window_length_ok(nsw);
}

void window_sample(sliding_window& w, double ca) {
  const int nsw = w.NSW;
  if (!window_length_ok(nsw)) return;
  ++w.NSAMP;
  if (w.NSAMP < nsw) {
    w.WINDOW[w.NSAMP - 1] = ca;
    return;
  }
  if (w.NSAMP > nsw) {
    for (int i = 0; i < nsw - 1; ++i) w.WINDOW[i] = w.WINDOW[i + 1];
  }
  w.WINDOW[nsw - 1] = ca;
  for (int i = 0; i < nsw; ++i) w.sum += w.WINDOW[i];
  w.mean = w.sum / static_cast<double>(nsw);
  w.sum = 0.0;
}

void detector_reset(peak_detector& d, double offset1, double offset2, double offset3, max_echo echo,
                    period_layout layout) {
  const double none = std::numeric_limits<double>::quiet_NaN();
  d.ca_newest = d.ca_middle = d.ca_oldest = none;
  d.t_newest = d.t_middle = 0.0;
  d.OFFSET[0] = offset1;
  d.OFFSET[1] = offset2;
  d.OFFSET[2] = offset3;
  d.echo = echo;
  d.layout = layout;
  detector_phase_start(d);
}

void detector_phase_start(peak_detector& d) {
  for (double& t : d.TMAX) t = 0.0;
  d.NMAX = 0;
  d.maxima_found = 0;
  d.PERSUM = 0.0;
  d.period = 0.0;
}

bool detector_step(peak_detector& d, int iphase, double ca, double tprint) {
  d.ca_oldest = d.ca_middle;
  d.ca_middle = d.ca_newest;
  d.ca_newest = ca;
  d.t_middle = d.t_newest;
  d.t_newest = tprint;
  if (iphase < 1 || iphase > detector_last_phase) return false;

  const double threshold = d.OFFSET[iphase - 1];
  const bool maximum =
      d.ca_newest >= threshold && d.ca_middle > d.ca_newest && d.ca_middle > d.ca_oldest;
  if (!maximum) return false;

  ++d.maxima_found;
  if (d.NMAX < tmax_capacity) {
    d.TMAX[d.NMAX] = d.t_middle;
    ++d.NMAX;
  }
  const phase_span echoed = echoed_phases(d.echo);
  if (iphase >= echoed.first && iphase <= echoed.last) {
    textio::freeform echo;
    echo.real(d.t_middle);
    if (d.echo == max_echo::phase2_time_and_ca) echo.real(d.ca_newest);
    textio::console().write_line(echo.view());
  }
  return true;
}

double period_analysis(peak_detector& d) {
  const int n = d.NMAX;
  for (int j = 3; j <= n - 3; ++j) {
    const double p = d.TMAX[j] - d.TMAX[j - 1];
    d.PERSUM += p;
    textio::line out;
    out.x(1).i(j - 1, 3);
    if (d.layout == period_layout::scientific) {
      out.sci(p, 12, 4).sci(two_pi / p, 12, 4);
    } else {
      out.f(p, 10, 3).f(two_pi / p, 10, 3);
    }
    textio::console().write_line(out.view());
  }
  if (n == 2) {
    put_both(report_out::console, textio::freeform().text("no maximum found").view());
  } else if (n == 5) {
    // No interval is listed; report no period rather than 0/0.
    d.period = 0.0;
  } else {
    d.period = d.PERSUM / static_cast<double>(n - 5);
  }
  return d.period;
}

}  // namespace calcium
