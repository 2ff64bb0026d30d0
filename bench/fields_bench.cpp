// The row field 1PE15.6 against the C library's %15.6E over the same values.
// (printf rounds ties to even, so it is only a speed reference.)
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <vector>

#include "models/calcium/row_writer.h"
#include "textio/fields.h"
#include "textio/line.h"

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

// One field writer over the row-like values, one value an iteration.
template <class Put>
void over_row_values(benchmark::State& state, Put put) {
  const auto& v = row_values();
  std::size_t i = 0;
  for (auto _ : state) {
    put(v[i]);
    benchmark::ClobberMemory();
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}

void put_sci_15_6(benchmark::State& state) {
  char buf[16];
  over_row_values(state, [&buf](double x) {
    textio::put_sci(buf, x, 15, 6);
    benchmark::DoNotOptimize(buf);
  });
}
BENCHMARK(put_sci_15_6);

// One value over and over: the cost without mispredicted branches.
void put_sci_15_6_same_value(benchmark::State& state) {
  char buf[16];
  double v = 0.1828367;
  for (auto _ : state) {
    benchmark::DoNotOptimize(v);
    textio::put_sci(buf, v, 15, 6);
    benchmark::DoNotOptimize(buf);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(put_sci_15_6_same_value);

// A data row as the programs form it (calcium::form_row): 39 fields 1PE15.6
// joined by commas, values drifting slowly from row to row like a time course.
void data_row_39x15_6(benchmark::State& state) {
  std::vector<double> v(39 * 64);
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  for (int c = 0; c < 39; ++c) {
    const int e = static_cast<int>(rng() % 9) - 5;
    const double base = mant(rng) * std::pow(10.0, e);
    for (int r = 0; r < 64; ++r) v[static_cast<std::size_t>(r * 39 + c)] = base * (1.0 + 0.01 * r);
  }
  std::size_t row = 0;
  char out[textio::line::capacity];
  for (auto _ : state) {
    const std::span<const double> x(v.data() + row * 39, 39);
    benchmark::DoNotOptimize(calcium::form_row(out, sizeof out, x, 15, 6));
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
    row = (row + 1) & 63;
  }
  state.SetItemsProcessed(state.iterations() * 39);
}
BENCHMARK(data_row_39x15_6);

void snprintf_15_6E(benchmark::State& state) {
  char buf[32];
  over_row_values(state, [&buf](double x) {
    std::snprintf(buf, sizeof buf, "%15.6E", x);
    benchmark::DoNotOptimize(buf);
  });
}
BENCHMARK(snprintf_15_6E);

void put_dexp_21_13(benchmark::State& state) {
  char buf[21];
  over_row_values(state, [&buf](double x) {
    textio::put_dexp(buf, x, 21, 13);
    benchmark::DoNotOptimize(buf);
  });
}
BENCHMARK(put_dexp_21_13);

}  // namespace

BENCHMARK_MAIN();
