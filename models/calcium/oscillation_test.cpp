#include "models/calcium/oscillation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "textio/units.h"

namespace {

using namespace calcium;

std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Collects what the console receives while it lives.
class ConsoleCapture {
 public:
  ConsoleCapture() {
    textio::set_line_end(textio::line_end::lf);
    std::fflush(stdout);
    textio::console().flush();
    char name[] = "/tmp/oscillation_console_XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    saved_ = dup(STDOUT_FILENO);
    dup2(fd, STDOUT_FILENO);
    close(fd);
  }
  ~ConsoleCapture() {
    restore();
    std::remove(path_.c_str());
  }
  std::vector<std::string> lines() {
    restore();
    return read_lines(path_);
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    textio::console().flush();
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    saved_ = -1;
  }
  std::string path_;
  int saved_ = -1;
};

// The summary file on unit 5, read back after closing.
class SummaryFile {
 public:
  SummaryFile() : path_(std::string("/tmp/oscillation_summary_") + std::to_string(getpid())) {
    std::string error;
    EXPECT_TRUE(textio::open_unit(5, path_, &error)) << error;
  }
  ~SummaryFile() {
    textio::close_unit(5);
    std::remove(path_.c_str());
  }
  std::vector<std::string> lines() {
    textio::close_unit(5);
    return read_lines(path_);
  }

 private:
  std::string path_;
};

std::vector<double> means_of(int nsw, const std::vector<double>& samples) {
  sliding_window w;
  EXPECT_TRUE(window_reset(w, nsw));
  std::vector<double> means;
  for (double s : samples) {
    window_sample(w, s);
    means.push_back(w.mean);
  }
  return means;
}

TEST(SlidingWindow, MeanOverTheLastNswSamples) {
  EXPECT_EQ(means_of(1, {0.5, 2.0, 3.0}), (std::vector<double>{0.5, 2.0, 3.0}));
  EXPECT_EQ(means_of(5, {1, 2, 3, 4, 5, 6, 7}), (std::vector<double>{0, 0, 0, 0, 3, 4, 5}));
  // Summed oldest first: 1e16 + 1 rounds back to 1e16, so the mean is 0.
  EXPECT_EQ(means_of(3, {1e16, 1.0, -1e16}).back(), 0.0);
  // Shifting mode keeps working far beyond the first fill.
  sliding_window w;
  ASSERT_TRUE(window_reset(w, 1000));
  for (int i = 1; i <= 5000; ++i) window_sample(w, static_cast<double>(i));
  EXPECT_EQ(w.mean, 4500.5);
}

TEST(SlidingWindow, LengthOutsideTheStoreTakesNoSamples) {
  for (int nsw : {0, -3, 1001}) {
    sliding_window w;
    EXPECT_FALSE(window_reset(w, nsw));
    for (int i = 0; i < 1100; ++i) window_sample(w, 1.0);
    EXPECT_EQ(w.mean, 0.0) << nsw;
    EXPECT_EQ(w.NSAMP, 0) << nsw;
  }
}

struct Series {
  const char* name;
  double offset;
  int phase;
  std::vector<double> ca;  // one sample per output step, TPRINT = step index
  std::vector<double> maxima_times;
};

TEST(PeakDetector, FindsStrictMaximaAboveTheThreshold) {
  const Series cases[] = {
      {"needs three real samples", 0.0, 1, {5.0, 1.0, 0.5}, {}},
      {"first real maximum", 0.0, 1, {1.0, 5.0, 3.0}, {1.0}},
      {"threshold below follower", 0.2, 1, {0.0, 0.0, 0.1, 0.5, 0.3}, {3.0}},
      {"follower below threshold", 0.4, 1, {0.0, 0.0, 0.1, 0.5, 0.3}, {}},
      {"follower equal to threshold", 0.3, 3, {0.0, 0.0, 0.1, 0.5, 0.3}, {3.0}},
      {"flat top", 0.0, 1, {0.0, 0.1, 0.5, 0.5, 0.3}, {}},
      {"NaN neighbour", 0.0, 2, {0.0, NAN, 0.5, 0.3, 0.6, 0.1}, {4.0}},
      {"phase 4 detects nothing", 0.0, 4, {0.0, 0.1, 0.5, 0.3}, {}},
      {"phase 5 detects nothing", 0.0, 5, {0.0, 0.1, 0.5, 0.3}, {}},
  };
  for (const auto& c : cases) {
    peak_detector d;
    detector_reset(d, c.offset, c.offset, c.offset, max_echo::phase2_time_and_ca,
                   period_layout::scientific);
    ConsoleCapture quiet;
    for (std::size_t i = 0; i < c.ca.size(); ++i) detector_step(d, c.phase, c.ca[i], double(i));
    ASSERT_EQ(d.NMAX, static_cast<int>(c.maxima_times.size())) << c.name;
    for (std::size_t m = 0; m < c.maxima_times.size(); ++m)
      EXPECT_EQ(d.TMAX[m], c.maxima_times[m]) << c.name;
  }
}

// Each phase compares with its own threshold: the follower of the maximum at
// the threshold counts, just below it does not. The three thresholds differ,
// and lie so that each other one decides the other way for some follower.
TEST(PeakDetector, EachPhaseHasItsOwnThreshold) {
  const double offset[3] = {0.3, 0.4, 0.2};
  for (int phase = 1; phase <= 3; ++phase) {
    for (const double below : {0.0, 0.05}) {
      const double follower = offset[phase - 1] - below;
      peak_detector d;
      detector_reset(d, offset[0], offset[1], offset[2], max_echo::phase2_time_and_ca,
                     period_layout::scientific);
      ConsoleCapture quiet;
      for (double ca : {0.0, 0.1, 0.9, follower}) detector_step(d, phase, ca, 0.0);
      EXPECT_EQ(d.NMAX, below == 0.0 ? 1 : 0) << "phase " << phase << ", follower " << follower;
    }
  }
}

TEST(PeakDetector, RiseAcrossAPhaseBoundaryIsNoMaximum) {
  peak_detector d;
  detector_reset(d, 0.0, 0.0, 0.0, max_echo::phase2_time_and_ca, period_layout::scientific);
  for (double ca : {0.1, 0.2, 0.3}) detector_step(d, 1, ca, 0.0);
  detector_phase_start(d);
  // The first step of a phase repeats the last state of the one before.
  for (double ca : {0.3, 0.2, 0.1}) detector_step(d, 2, ca, 0.0);
  EXPECT_EQ(d.NMAX, 0);
}

TEST(PeakDetector, EchoRules) {
  const std::vector<double> ca = {0.0, 0.0, 0.1, 0.5, 0.3};
  auto echoed = [&](max_echo rule, int phase) {
    peak_detector d;
    detector_reset(d, 0.2, 0.2, 0.2, rule, period_layout::scientific);
    ConsoleCapture console;
    for (std::size_t i = 0; i < ca.size(); ++i)
      detector_step(d, phase, ca[i], 2.0 + 0.25 * double(i));
    EXPECT_EQ(d.NMAX, 1);
    return console.lines();
  };
  // Maximum at TPRINT 2.75; the echo carries the following sample.
  EXPECT_EQ(echoed(max_echo::phase2_time_and_ca, 2),
            (std::vector<std::string>{"   2.75000000000000  0.300000000000000"}));
  EXPECT_TRUE(echoed(max_echo::phase2_time_and_ca, 1).empty());
  EXPECT_TRUE(echoed(max_echo::phase2_time_and_ca, 3).empty());
  for (int phase : {1, 2, 3}) {
    EXPECT_EQ(echoed(max_echo::time_only_phases123, phase),
              (std::vector<std::string>{"   2.75000000000000"}));
  }
}

TEST(PeakDetector, MaximaBeyondTheTableAreNotRecorded) {
  peak_detector d;
  detector_reset(d, 0.0, 0.0, 0.0, max_echo::phase2_time_and_ca, period_layout::scientific);
  const double canary = d.PERSUM;  // stored right after the table
  // Sawtooth 0, 1, 0, 1, ...: a maximum at every odd step.
  for (int step = 0; step < 1300; ++step) detector_step(d, 1, step % 2, double(step));
  EXPECT_EQ(d.maxima_found, 649);
  EXPECT_EQ(d.NMAX, tmax_capacity);
  EXPECT_EQ(d.TMAX[0], 1.0);
  EXPECT_EQ(d.TMAX[500], 1001.0);
  EXPECT_EQ(d.PERSUM, canary);
  ConsoleCapture console;
  EXPECT_EQ(period_analysis(d), 2.0);
  EXPECT_EQ(console.lines().size(), 496u);
}

peak_detector with_maxima(const std::vector<double>& times, period_layout layout) {
  peak_detector d;
  detector_reset(d, 0.0, 0.0, 0.0, max_echo::phase2_time_and_ca, layout);
  for (double t : times) d.TMAX[d.NMAX++] = t;
  return d;
}

TEST(PeriodAnalysis, ListsTheInnerIntervals) {
  const std::vector<double> eight = {0, 1, 3, 6, 10, 15, 21, 28};
  {
    peak_detector d = with_maxima(eight, period_layout::scientific);
    ConsoleCapture console;
    EXPECT_EQ(period_analysis(d), 4.0);  // (3 + 4 + 5) / 3
    EXPECT_EQ(console.lines(), (std::vector<std::string>{"   2  3.0000E+00  2.0944E+00",
                                                         "   3  4.0000E+00  1.5708E+00",
                                                         "   4  5.0000E+00  1.2566E+00"}));
  }
  {
    peak_detector d = with_maxima(eight, period_layout::fixed);
    ConsoleCapture console;
    EXPECT_EQ(period_analysis(d), 4.0);
    EXPECT_EQ(console.lines(),
              (std::vector<std::string>{"   2     3.000     2.094", "   3     4.000     1.571",
                                        "   4     5.000     1.257"}));
  }
  {
    peak_detector d = with_maxima({0, 1, 3, 6, 10, 15}, period_layout::scientific);
    ConsoleCapture console;
    EXPECT_EQ(period_analysis(d), 3.0);
    EXPECT_EQ(console.lines(), (std::vector<std::string>{"   2  3.0000E+00  2.0944E+00"}));
  }
}

TEST(PeriodAnalysis, TwoMaximaReportNoMaximumFound) {
  SummaryFile summary;
  peak_detector d = with_maxima({1.0, 2.0}, period_layout::scientific);
  ConsoleCapture console;
  EXPECT_EQ(period_analysis(d), 0.0);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{" no maximum found"}));
  EXPECT_EQ(summary.lines(), (std::vector<std::string>{" no maximum found"}));
}

TEST(PeriodAnalysis, TooFewMaximaGiveAZeroPeriodSilently) {
  for (int n : {0, 1, 3, 4, 5}) {
    std::vector<double> times;
    for (int i = 0; i < n; ++i) times.push_back(1.0 + i);
    peak_detector d = with_maxima(times, period_layout::scientific);
    ConsoleCapture console;
    const double period = period_analysis(d);
    EXPECT_EQ(period, 0.0) << n;
    EXPECT_FALSE(std::isnan(period)) << n;
    EXPECT_TRUE(console.lines().empty()) << n;
  }
}

TEST(PeriodAnalysis, PhaseStartClearsThePhaseResults) {
  peak_detector d = with_maxima({0, 1, 3, 6, 10, 15}, period_layout::scientific);
  {
    ConsoleCapture quiet;
    period_analysis(d);
  }
  detector_phase_start(d);
  EXPECT_EQ(d.NMAX, 0);
  EXPECT_EQ(d.PERSUM, 0.0);
  EXPECT_EQ(d.period, 0.0);
  EXPECT_EQ(d.TMAX[3], 0.0);
}

}  // namespace
