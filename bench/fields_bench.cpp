// The row field 1PE15.6 against the C library's %15.6E over the same values.
// (printf rounds ties to even, so it is only a speed reference.)
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "textio/fields.h"

namespace {

// Values like those of the result rows: concentrations and fluxes over many
// decades, both signs, some zeros and exact ties.
const std::vector<double>& row_values() {
  static const std::vector<double> values = [] {
    std::vector<double> v;
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    for (int k = 0; k < 4096; ++k) {
      const int e = static_cast<int>(rng() % 24) - 14;
      double x = mant(rng) * std::pow(10.0, e);
      if (k % 3 == 0) x = -x;
      if (k % 97 == 0) x = 0.0;
      if (k % 89 == 0) x = 12345665.0;  // a tie at 7 digits
      v.push_back(x);
    }
    return v;
  }();
  return values;
}

void put_sci_15_6(benchmark::State& state) {
  const auto& v = row_values();
  char buf[16];
  std::size_t i = 0;
  for (auto _ : state) {
    textio::put_sci(buf, v[i], 15, 6);
    benchmark::DoNotOptimize(buf);
    benchmark::ClobberMemory();
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(put_sci_15_6);

void snprintf_15_6E(benchmark::State& state) {
  const auto& v = row_values();
  char buf[32];
  std::size_t i = 0;
  for (auto _ : state) {
    std::snprintf(buf, sizeof buf, "%15.6E", v[i]);
    benchmark::DoNotOptimize(buf);
    benchmark::ClobberMemory();
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(snprintf_15_6E);

void put_dexp_21_13(benchmark::State& state) {
  const auto& v = row_values();
  char buf[21];
  std::size_t i = 0;
  for (auto _ : state) {
    textio::put_dexp(buf, v[i], 21, 13);
    benchmark::DoNotOptimize(buf);
    benchmark::ClobberMemory();
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(put_dexp_21_13);

}  // namespace

BENCHMARK_MAIN();
