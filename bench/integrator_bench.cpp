// The integrator on a stiff network of the programs' size (35 equations,
// MF 22): eleven Robertson-type triples with spread rate constants, coupled
// through two shared species. Reports time per step and the work counters.
#include <benchmark/benchmark.h>

#include <vector>

#include "integrator/integrate.h"
#include "integrator/solver_state.h"

namespace {

constexpr int triples = 11;
constexpr int neq = 3 * triples + 2;

void network(int*, double*, double* y, double* ydot) {
  const double shared = y[neq - 2];
  double feed = 0.0;
  for (int k = 0; k < triples; ++k) {
    const double s = 1.0 + 0.3 * k;  // spread the time scales
    const double* c = y + 3 * k;
    double* d = ydot + 3 * k;
    const double r1 = 0.04 * s * c[0];
    const double r2 = 1.0e4 * c[1] * c[2];
    const double r3 = 3.0e7 * s * c[1] * c[1];
    const double exchange = 1.0e-3 * (shared - c[0]);
    d[0] = -r1 + r2 + exchange;
    d[1] = r1 - r2 - r3;
    d[2] = r3;
    feed += c[0];
  }
  ydot[neq - 2] = 1.0e-3 * (feed - triples * shared) + 1.0e-2 * (y[neq - 1] - shared);
  ydot[neq - 1] = 1.0e3 * (shared - y[neq - 1]);
}

void no_jac(int*, double*, double*, int*, int*, double*, int*) {}

void BM_StiffNetwork35(benchmark::State& state) {
  int n = neq;
  std::vector<double> y(neq), rwork(22 + 9 * neq + neq * neq);
  std::vector<int> iwork(20 + neq);
  double rtol = 1e-8, atol = 1e-13;
  int itol = 1, itask = 1, iopt = 0, mf = 22;
  int lrw = static_cast<int>(rwork.size()), liw = static_cast<int>(iwork.size());
  long steps = 0, f_calls = 0, jacobians = 0;
  for (auto _ : state) {
    for (int k = 0; k < triples; ++k) {
      y[3 * k] = 1.0;
      y[3 * k + 1] = y[3 * k + 2] = 0.0;
    }
    y[neq - 2] = y[neq - 1] = 0.5;
    double t = 0.0;
    int istate = 1;
    for (double tout = 0.4; tout < 5e4; tout *= 10.0) {
      integrator::integrate(network, &n, y.data(), t, tout, itol, &rtol, &atol, itask, istate, iopt,
                            rwork.data(), lrw, iwork.data(), liw, no_jac, mf);
      if (istate < 0) {
        state.SkipWithError("integration failed");
        return;
      }
    }
    benchmark::DoNotOptimize(y.data());
    steps += iwork[10];
    f_calls += iwork[11];
    jacobians += iwork[12];
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["steps"] = steps / runs;
  state.counters["f_calls"] = f_calls / runs;
  state.counters["jacobians"] = jacobians / runs;
  state.counters["time_per_step"] =
      benchmark::Counter(static_cast<double>(steps),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StiffNetwork35)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
