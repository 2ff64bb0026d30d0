// Indicator optics shared by the calcium programs: three Gaussian emission
// bands, the spectrum file, the ratiometric calibration and the per-step
// fluorescence ratio and calcium estimate.
#pragma once

#include "models/calcium/row_layout.h"

namespace calcium {

// One emission band; profile at x is exp(-(sigma * (x - lamda)^2)).
struct band {
  double epsilon = 0.0;  // amplitude
  double sigma = 0.0;    // width coefficient
  double lamda = 0.0;    // centre wavelength
};

struct indicator {
  band BAND[3];            // BAND[0] bound form, BAND[1] free form, BAND[2] third peak
  double IND_TOTAL = 0.0;  // Ind as read
  double KDIND = 0.0;      // k51/k50, set once after reading

  // Calibration amplitudes, set at every phase start by calibrate().
  double bound_all_free = 0.0;
  double free_all_free = 0.0;
  double bound_all_bound = 0.0;
  double free_all_bound = 0.0;

  // Output-step values, set by output_step_optics().
  double RATIO = 0.0;
  double RMIN = 0.0;
  double RMAX = 0.0;
  double F380FREE = 0.0;
  double F380BOUND = 0.0;
  double Ca_ratio = 0.0;
  double bound_per_free = 0.0;  // Cacyt.Ind/Ind
};

inline constexpr double ratio_wavelength_1 = 330.0;
inline constexpr double ratio_wavelength_2 = 380.0;

// Band profile exp(-(sigma * ((x - lamda)^2))).
double band_profile(const band& b, double x);

// Emission at x for bound amplitude `bound` and free amplitude `free_amp`:
// free_amp*g2(x) + (bound*g1(x) + epsilon3*g3(x)).
double emission(const indicator& ind, double x, double bound, double free_amp);

// Six spectra (bound level 0, 0.2f, ... ) of 601 rows x = 200..800, each
// followed by a blank record, written on output unit `unit`.
void write_spectrum(const indicator& ind, int unit);

inline constexpr int spectrum_blocks = 6;
inline constexpr int spectrum_block_rows = 601;

// The bound indicator level of spectrum block `block` (0 to 5): 0 plus
// `block` single-precision 0.2 steps, added in double precision.
double spectrum_level(int block);

// A row of the spectrum file: wavelength and emission, "(1X,1PE12.4,',',1PE12.4)".
struct spectrum_point {
  double wavelength;
  double intensity;
};
extern const row_layout<spectrum_point> spectrum_row;

// Phase start: the all-free and all-bound amplitudes.
void calibrate(indicator& ind);

// Output step: RATIO, RMIN, RMAX, F380FREE, F380BOUND, Ca_ratio and
// Cacyt.Ind/Ind from Ind (Y(21)) and Cacyt.Ind (Y(22)).
void output_step_optics(indicator& ind, double ind_free, double cacyt_ind);

}  // namespace calcium
