// velmo67 end to end on its example parameter file, in a scratch directory:
// wall time per run and how it splits between the integrator and the rest
// (forming and writing rows and reports). The console goes to /dev/null.
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

void BM_Velmo67ExampleRun(benchmark::State& state) {
  const char* src = std::getenv("CALCIUM_SOURCE_DIR");
  const fs::path example =
      (src ? fs::path(src) : fs::path(__FILE__).parent_path().parent_path()) / "examples/velmo67/VELMO67.INP";
  std::string tmpl = (fs::temp_directory_path() / "velmo67-bench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) {
    state.SkipWithError("no scratch directory");
    return;
  }
  const fs::path dir = tmpl;
  fs::copy_file(example, dir / "VELMO67.INP");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  std::fflush(stdout);
  const int saved_stdout = dup(STDOUT_FILENO);
  const int null_fd = open("/dev/null", O_WRONLY);
  dup2(null_fd, STDOUT_FILENO);

  double integrate = 0.0, total = 0.0;
  for (auto _ : state) {
    calcium::run_timing t;
    velmo67::run_velmo67(&t);
    integrate += t.integrate_seconds;
    total += t.total_seconds;
  }

  dup2(saved_stdout, STDOUT_FILENO);
  close(saved_stdout);
  close(null_fd);
  fs::current_path(cwd);
  fs::remove_all(dir);
  state.counters["integrate_share"] = total > 0.0 ? integrate / total : 0.0;
  state.counters["writing_share"] = total > 0.0 ? 1.0 - integrate / total : 0.0;
}
BENCHMARK(BM_Velmo67ExampleRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
