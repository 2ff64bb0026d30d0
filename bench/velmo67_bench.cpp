// velmo67 end to end on its example parameter file, as a researcher runs it:
// every run starts in a fresh directory holding only the parameter file, so
// the result files are created, not truncated and rewritten. Making and
// removing that directory is outside the timed region. The console goes to
// /dev/null.
//
// Counters (seconds per run, shares of run_frame()'s own wall time):
//   integrate        inside integrate()
//   step_output      the output steps outside integrate(): derived
//                    quantities, optics, window, maxima, forming the rows and
//                    handing them to the buffered files (which write to the
//                    kernel whenever a buffer fills)
//   rest             reading parameters, opening files, "tmp", header,
//                    spectra, phase and end reports, closing the files
//   writing_share    everything but integrate() (1 - integrate_share)
//
// BM_Velmo67ExampleRunUntimed is the same run without the split (no clock
// reads in the driver). BM_Velmo67ExampleRerun keeps the old set-up for comparison: the same
// directory every time, so each run truncates and rewrites the files of the
// previous one.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "models/calcium/run_driver.h"
#include "models/velmo67/configuration.h"

namespace {

namespace fs = std::filesystem;

fs::path example_file() {
  const char* src = std::getenv("CALCIUM_SOURCE_DIR");
  return (src ? fs::path(src) : fs::path(__FILE__).parent_path().parent_path()) /
         "examples/velmo67/VELMO67.INP";
}

// A scratch directory, the console sent to /dev/null and the working
// directory restored on the way out.
class scratch {
 public:
  scratch() : cwd_(fs::current_path()) {
    std::string tmpl = (fs::temp_directory_path() / "velmo67-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return;
    dir_ = tmpl;
    std::fflush(stdout);
    saved_stdout_ = dup(STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    close(null_fd);
  }
  ~scratch() {
    if (dir_.empty()) return;
    dup2(saved_stdout_, STDOUT_FILENO);
    close(saved_stdout_);
    fs::current_path(cwd_);
    fs::remove_all(dir_);
  }
  scratch(const scratch&) = delete;
  scratch& operator=(const scratch&) = delete;

  bool ok() const { return !dir_.empty(); }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path cwd_;
  fs::path dir_;
  int saved_stdout_ = -1;
};

struct timing_sums {
  double integrate = 0.0, step_output = 0.0, total = 0.0;
  void add(const calcium::run_timing& t) {
    integrate += t.integrate_seconds;
    step_output += t.step_output_seconds;
    total += t.total_seconds;
  }
  void report(benchmark::State& state) const {
    const double runs = static_cast<double>(state.iterations());
    const double rest = total - integrate - step_output;
    const auto per_run = [runs](double s) { return runs > 0.0 ? s / runs : 0.0; };
    const auto share = [this](double s) { return total > 0.0 ? s / total : 0.0; };
    state.counters["integrate_ms"] = 1e3 * per_run(integrate);
    state.counters["step_output_ms"] = 1e3 * per_run(step_output);
    state.counters["rest_ms"] = 1e3 * per_run(rest);
    state.counters["integrate_share"] = share(integrate);
    state.counters["step_output_share"] = share(step_output);
    state.counters["rest_share"] = share(rest);
    state.counters["writing_share"] = share(total - integrate);
  }
};

// Each run in a fresh directory; with `split` the driver also reads the clock
// around every integrate() call (two reads an output step).
void run_in_fresh_directories(benchmark::State& state, bool split) {
  scratch s;
  if (!s.ok()) {
    state.SkipWithError("no scratch directory");
    return;
  }
  const fs::path input = example_file();
  timing_sums sums;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path run_dir = s.dir() / ("run" + std::to_string(n++));
    fs::create_directory(run_dir);
    fs::copy_file(input, run_dir / "VELMO67.INP");
    fs::current_path(run_dir);
    state.ResumeTiming();

    if (split) {
      calcium::run_timing t;
      calcium::run_frame(velmo67::configuration(), &t);
      sums.add(t);
    } else {
      calcium::run_frame(velmo67::configuration());
    }

    state.PauseTiming();
    fs::current_path(s.dir());
    fs::remove_all(run_dir);
    state.ResumeTiming();
  }
  if (split) sums.report(state);
}

void BM_Velmo67ExampleRun(benchmark::State& state) { run_in_fresh_directories(state, true); }
BENCHMARK(BM_Velmo67ExampleRun)->Unit(benchmark::kMillisecond);

// The same without the clock reads: what the program itself costs.
void BM_Velmo67ExampleRunUntimed(benchmark::State& state) {
  run_in_fresh_directories(state, false);
}
BENCHMARK(BM_Velmo67ExampleRunUntimed)->Unit(benchmark::kMillisecond);

void BM_Velmo67ExampleRerun(benchmark::State& state) {
  scratch s;
  if (!s.ok()) {
    state.SkipWithError("no scratch directory");
    return;
  }
  fs::copy_file(example_file(), s.dir() / "VELMO67.INP");
  fs::current_path(s.dir());
  timing_sums sums;
  for (auto _ : state) {
    calcium::run_timing t;
    calcium::run_frame(velmo67::configuration(), &t);
    sums.add(t);
  }
  sums.report(state);
}
BENCHMARK(BM_Velmo67ExampleRerun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
