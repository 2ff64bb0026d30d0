#include "models/calcium/optics.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {
// The bound level of the spectra steps by the single-precision 0.2.
constexpr double spectrum_level_step = static_cast<double>(0.2f);

double wavelength(const spectrum_point& p) { return p.wavelength; }
double intensity(const spectrum_point& p) { return p.intensity; }

constexpr column<spectrum_point> spectrum_columns[] = {
    {"wavelength", "emission wavelength, 200 to 800 in steps of 1", wavelength},
    {"intensity",
     "indicator emission at that wavelength with the block's amount of bound indicator", intensity},
};

// The band profiles at the two ratio wavelengths depend on the band widths
// and centres alone, which stay as read for the whole run; they are formed
// again only when one of them differs (bit for bit) from the last call.
struct ratio_profiles {
  bool valid = false;
  std::uint64_t sigma[3] = {}, lamda[3] = {};
  double g330[3] = {}, g380[3] = {};
};

const ratio_profiles& profiles_at_ratio_wavelengths(const indicator& ind) {
  thread_local ratio_profiles p;
  bool same = p.valid;
  for (int b = 0; b < 3 && same; ++b)
    same = p.sigma[b] == std::bit_cast<std::uint64_t>(ind.BAND[b].sigma) &&
           p.lamda[b] == std::bit_cast<std::uint64_t>(ind.BAND[b].lamda);
  if (!same) {
    for (int b = 0; b < 3; ++b) {
      p.sigma[b] = std::bit_cast<std::uint64_t>(ind.BAND[b].sigma);
      p.lamda[b] = std::bit_cast<std::uint64_t>(ind.BAND[b].lamda);
      p.g330[b] = band_profile(ind.BAND[b], ratio_wavelength_1);
      p.g380[b] = band_profile(ind.BAND[b], ratio_wavelength_2);
    }
    p.valid = true;
  }
  return p;
}
}  // namespace

double band_profile(const band& b, double x) {
  const double dx = x - b.lamda;
  return std::exp(-(b.sigma * (dx * dx)));
}

double emission(const indicator& ind, double x, double bound, double free_amp) {
  return free_amp * band_profile(ind.BAND[1], x) +
         (bound * band_profile(ind.BAND[0], x) +
          ind.BAND[2].epsilon * band_profile(ind.BAND[2], x));
}

constinit const row_layout<spectrum_point> spectrum_row = make_row_layout<spectrum_columns>(12, 4);

double spectrum_level(int block) {
  double level = 0.0;
  for (int b = 0; b < block; ++b) level += spectrum_level_step;
  return level;
}

void write_spectrum(const indicator& ind, int unit) {
  for (int block = 0; block < spectrum_blocks; ++block) {
    const double level = spectrum_level(block);
    const double bound = ind.BAND[0].epsilon * level;
    const double free_amp = ind.BAND[1].epsilon * (ind.IND_TOTAL - level);
    double x = 200.0;
    for (int row = 0; row < spectrum_block_rows; ++row) {
      write_row(unit, spectrum_row, spectrum_point{x, emission(ind, x, bound, free_amp)});
      x += 1.0;
    }
    textio::write_unit(unit, textio::blank_record());
  }
}

void calibrate(indicator& ind) {
  ind.bound_all_free = ind.BAND[0].epsilon * 0.0;
  ind.free_all_free = ind.BAND[1].epsilon * ind.IND_TOTAL;
  ind.bound_all_bound = ind.IND_TOTAL * ind.BAND[0].epsilon;
  ind.free_all_bound = 0.0 * ind.BAND[1].epsilon;
}

void output_step_optics(indicator& ind, double ind_free, double cacyt_ind) {
  const double bound = ind.BAND[0].epsilon * cacyt_ind;
  const double free_amp = ind.BAND[1].epsilon * ind_free;

  const ratio_profiles& g = profiles_at_ratio_wavelengths(ind);
  const double* g330 = g.g330;
  const double* g380 = g.g380;
  const double eps3 = ind.BAND[2].epsilon;
  auto at = [eps3](const double* g, double b_amp, double f_amp) {
    return f_amp * g[1] + (b_amp * g[0] + eps3 * g[2]);
  };

  const double f330 = at(g330, bound, free_amp);
  const double f380 = at(g380, bound, free_amp);
  const double f330_free = at(g330, ind.bound_all_free, ind.free_all_free);
  ind.F380FREE = at(g380, ind.bound_all_free, ind.free_all_free);
  const double f330_bound = at(g330, ind.bound_all_bound, ind.free_all_bound);
  ind.F380BOUND = at(g380, ind.bound_all_bound, ind.free_all_bound);

  ind.RATIO = f330 / f380;
  ind.RMIN = f330_free / ind.F380FREE;
  ind.RMAX = f330_bound / ind.F380BOUND;
  ind.Ca_ratio = ((ind.RATIO - ind.RMIN) * ((ind.F380FREE / ind.F380BOUND) * ind.KDIND)) /
                 (ind.RMAX - ind.RATIO);
  ind.bound_per_free = cacyt_ind / ind_free;
}

}  // namespace calcium
