#include "models/calcium/optics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "textio/units.h"

namespace {

using namespace calcium;

// Narrow bound band at 330, narrow free band at 380 (each vanishes at the
// other wavelength) and a flat third band of height 0.5: F330 = B + 0.5 and
// F380 = A + 0.5 for bound amplitude B and free amplitude A.
indicator separated_bands(double ind_total, double free_epsilon = 4.0) {
  indicator ind;
  ind.BAND[0] = {2.0, 1.0, 330.0};
  ind.BAND[1] = {free_epsilon, 1.0, 380.0};
  ind.BAND[2] = {0.5, 0.0, 500.0};
  ind.IND_TOTAL = ind_total;
  ind.KDIND = 0.25;
  return ind;
}

TEST(Optics, BandProfile) {
  const band b{7.0, 0.001, 340.0};
  EXPECT_EQ(band_profile(b, 340.0), 1.0);
  EXPECT_DOUBLE_EQ(band_profile(b, 330.0), 0.9048374180359595);  // e^-0.1
  EXPECT_DOUBLE_EQ(band_profile(b, 350.0), 0.9048374180359595);
  EXPECT_EQ(band_profile(band{1.0, 1.0, 330.0}, 380.0), 0.0);  // underflows
}

TEST(Optics, RatioAndCalciumFromTheCalibration) {
  indicator ind = separated_bands(1.0);
  calibrate(ind);
  output_step_optics(ind, 0.5, 0.25);
  // F330 = 0.5 + 0.5, F380 = 2 + 0.5; all free 0.5 / 4.5; all bound 2.5 / 0.5.
  EXPECT_DOUBLE_EQ(ind.RATIO, 0.4);
  EXPECT_DOUBLE_EQ(ind.RMIN, 1.0 / 9.0);
  EXPECT_DOUBLE_EQ(ind.RMAX, 5.0);
  EXPECT_DOUBLE_EQ(ind.F380FREE, 4.5);
  EXPECT_DOUBLE_EQ(ind.F380BOUND, 0.5);
  // (13/45 * (9 * 0.25)) / 4.6
  EXPECT_DOUBLE_EQ(ind.Ca_ratio, 13.0 / 92.0);
  EXPECT_EQ(ind.bound_per_free, 0.5);
}

TEST(Optics, DegenerateStatesCarryOnAsInfinityOrNaN) {
  indicator ind = separated_bands(1.0);
  calibrate(ind);
  output_step_optics(ind, 0.0, 0.25);
  EXPECT_EQ(ind.bound_per_free, INFINITY);
  output_step_optics(ind, 0.0, 0.0);
  EXPECT_TRUE(std::isnan(ind.bound_per_free));
  // All bound: RATIO equals RMAX.
  output_step_optics(ind, 0.0, 1.0);
  EXPECT_EQ(ind.RATIO, ind.RMAX);
  EXPECT_TRUE(std::isinf(ind.Ca_ratio));

  // No indicator at all: both calibration states are the third band alone.
  indicator empty = separated_bands(0.0);
  calibrate(empty);
  output_step_optics(empty, 0.5, 0.25);
  EXPECT_EQ(empty.RMIN, 1.0);
  EXPECT_EQ(empty.RMAX, 1.0);
  EXPECT_DOUBLE_EQ(empty.Ca_ratio, -0.25);
}

class SpectrumFile : public ::testing::Test {
 protected:
  void SetUp() override {
    textio::set_line_end(textio::line_end::lf);
    path_ = "/tmp/optics_spectrum_" + std::to_string(getpid()) + ".txt";
  }
  void TearDown() override { std::remove(path_.c_str()); }
  std::vector<std::string> write(const indicator& ind) {
    std::string error;
    EXPECT_TRUE(textio::open_unit(3, path_, &error)) << error;
    write_spectrum(ind, 3);
    textio::close_unit(3);
    std::ifstream in(path_, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(all.empty());
    EXPECT_EQ(all.back(), '\n');
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
      lines.push_back(all.substr(start, nl - start));
    return lines;
  }
  std::string path_;
};

TEST_F(SpectrumFile, SixBlocksOf601RowsEachClosedByABlankRecord) {
  const auto lines = write(separated_bands(1.0, 1e8));
  ASSERT_EQ(lines.size(), 6u * 602u);
  const std::regex row(R"(   \d\.\d{4}E[+-]\d\d, [ -]\d\.\d{4}E[+-]\d\d)");
  for (int block = 0; block < 6; ++block) {
    const std::size_t first = block * 602u;
    EXPECT_EQ(lines[first].substr(0, 14), "   2.0000E+02,") << block;
    EXPECT_EQ(lines[first + 600].substr(0, 14), "   8.0000E+02,") << block;
    EXPECT_EQ(lines[first + 601], "  ") << block;
    for (std::size_t r = first; r < first + 601; ++r)
      ASSERT_TRUE(std::regex_match(lines[r], row)) << r << ": '" << lines[r] << "'";
  }
  // Block 1 (no bound indicator): 330 is the third band alone, 380 adds the free band.
  EXPECT_EQ(lines[130], "   3.3000E+02,  5.0000E-01");
  EXPECT_EQ(lines[180], "   3.8000E+02,  1.0000E+08");
  // Block 2: bound level 0.2 (single precision) at 330: 2 * 0.2 + 0.5.
  EXPECT_EQ(lines[602 + 130], "   3.3000E+02,  9.0000E-01");
  // Block 6: level 1.0000000149011612, so the free amplitude 1e8 * (1 - level)
  // is slightly negative and shows at 380: -1.4901161193847656 + 0.5.
  EXPECT_EQ(lines[5 * 602 + 180], "   3.8000E+02, -9.9012E-01");
  EXPECT_EQ(lines[5 * 602 + 130], "   3.3000E+02,  2.5000E+00");
}

}  // namespace
