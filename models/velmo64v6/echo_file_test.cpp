// The annotated copy of the parameter file: labels and blank lines where they
// belong, values to five significant digits, and it reads back as a
// parameter file whose own copy is the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "models/velmo64v6/test_run.h"

namespace velmo64v6_test {
namespace {

const std::string RUN = "ECHO12CHARSX";  // all 12 characters used

std::string right(const std::string& s, std::size_t width) {
  return s.size() >= width ? s.substr(0, width) : std::string(width - s.size(), ' ') + s;
}

// A file whose values need more than five digits, with one three-digit
// exponent; one output step only (phase 1 of length 0, no phase 2).
struct rich_file {
  input_file in = oscillator_base();
  std::vector<std::vector<double>> values = std::vector<std::vector<double>>(111);

  rich_file() {
    in.set(1, RUN + "  first word is the run name");
    values[2] = {0.25, 0.123456789, 0.0, 0.0, 1.5, 2.25, 3.125};
    in.times(0.25, 0.123456789, {0.0, 0.0, 1.5, 2.25, 3.125});
    for (int n = 1; n <= 68; ++n) {
      double v = (1.0 + n * 0.0123456789) * std::pow(10.0, n % 11 - 5) * (n % 4 == 0 ? -1 : 1);
      if (n == 50) v = 1.23456789e-120;
      in.k(n, v);
      values[n + 2] = {v};
    }
    const bool two[26] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0,
                          0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0};
    for (int i = 0; i < 26; ++i) {
      double a = 0.31415926 * (i + 1), b = 2.7182818e-3 * (i + 1);
      values[71 + i] = two[i] ? std::vector<double>{a, b} : std::vector<double>{a};
      in.set(71 + i, two[i] ? input_file::num(a) + ", " + input_file::num(b) : input_file::num(a));
    }
    for (int l = 97; l <= 103; ++l) {
      std::vector<double> v;
      std::string text;
      for (int i = 0; i < 4; ++i) {
        v.push_back(1.0987654321 * (l - 96) + i * 1.11111111e-4);
        text += input_file::num(v.back()) + (i < 3 ? ", " : "  trailer");
      }
      values[l] = v;
      in.set(l, text);
    }
    values[104] = {17};
    in.set(104, "17");
    for (int l = 105; l <= 107; ++l) {
      values[l] = {-0.0123456789 * (l - 104)};
      in.set(l, input_file::num(values[l][0]));
    }
    for (int l = 108; l <= 110; ++l) {
      values[l] = {1.23456789 * (l - 107), 9.87654321e-4, 330.123456 + (l - 108) * 25};
      in.set(l, input_file::num(values[l][0]) + " " + input_file::num(values[l][1]) + " " +
                    input_file::num(values[l][2]));
    }
  }
};

// Parameter lines after which the copy has a blank line.
const int BLANK_AFTER[] = {2,  4,  7,  9,  11, 13, 17, 21, 24, 26, 32,  37,
                           42, 47, 52, 57, 62, 67, 79, 88, 92, 96, 103, 107};

TEST(Velmo64v6EchoFile, LayoutLabelsAndBlankLines) {
  rich_file f;
  scratch_dir dir;
  run_result r = run_with(dir, f.in);
  ASSERT_EQ(r.exit_status, 0) << r.err;
  const std::string raw = dir.read(file_of(RUN, ".INP"));
  EXPECT_TRUE(all_crlf(raw));
  std::vector<std::string> echo = split_lines(raw);
  ASSERT_EQ(echo.size(), 110u + std::size(BLANK_AFTER));

  // Map parameter line -> echo line, checking each blank line on the way.
  std::vector<std::string> at(111);
  std::size_t e = 0, b = 0;
  for (int l = 1; l <= 110; ++l) {
    at[l] = echo[e++];
    if (b < std::size(BLANK_AFTER) && BLANK_AFTER[b] == l) {
      EXPECT_EQ(echo[e], "  ") << "blank line after parameter line " << l;
      ++e, ++b;
    }
  }
  for (int l = 1; l <= 110; ++l) EXPECT_NE(at[l], "  ") << "line " << l;

  EXPECT_TRUE(at[1].rfind("   " + RUN + " (", 0) == 0) << at[1];
  EXPECT_EQ(at[1].size(), 3 + 12 + 2 + 9 + 2 + 8 + 1u);
  EXPECT_EQ(at[2].size(), 1 + 7 * 12 + 6u);
  struct labelled {
    int line;
    std::size_t value_width;  // characters before the label
    std::string label;
    std::size_t label_width;
  };
  const labelled labels[] = {
      {3, 13, " **K1    rate of inflow of Ca_ext into cell", 52},
      {4, 13, " **K2 rate const of additional Ca_cyt removal", 52},
      {42, 13, " **K40 !**K40 !K1E", 52},
      {50, 13, " **K48 !synthesis of IPR3", 52},
      {58, 13, "**K56 !PLC activation", 52},
      {63, 13, "**K61 !Vmax inactivation of NCX.M* ", 52},
      {70, 13, "**K68 ! breakdown of NCX.M to M and NCX", 52},
      {71, 26, " **phase 2 k1, K1P2COEFF", 52},
      {72, 13, " **phase 2 k2", 52},
      {91, 26, " **phase4 k3 & K3P4COEFF", 52},
      {96, 13, " **phase5 k63", 52},
      {97, 52, " !Ca_cyt,PMCA.M*,Ca_ext,M", 26},
      {99, 52, " !PMCA,SERCA*,Ca_lum,L", 26},
      {103, 52, "!PLC,NCX.M*,NCX.M,NCX", 26},
      {104, 5, "  **sliding window size in number of time steps", 47},
      {107, 13, " looking for Ca peaks above OFFSET3 ph 3", 52},
      {108, 39, " eps,sig,lam CaInd", 30},
      {110, 39, " peak 3 epsilon,sigma,lamda Ind", 30},  // cut to 30: "...lamda In"
  };
  for (const labelled& x : labels) {
    ASSERT_EQ(at[x.line].size(), x.value_width + x.label_width) << "line " << x.line;
    EXPECT_EQ(at[x.line].substr(x.value_width), right(x.label, x.label_width)) << "line " << x.line;
  }
  EXPECT_EQ(at[110].substr(39), " peak 3 epsilon,sigma,lamda In");
  EXPECT_EQ(at[104], "   17  **sliding window size in number of time steps");
  EXPECT_EQ(at[52].substr(0, 13), "   1.2346-120");  // k50: three-digit exponent, no letter

  // Values: as read, rounded to five significant digits.
  for (int l = 2; l <= 110; ++l) {
    std::vector<double> got = fields(at[l]);
    ASSERT_GE(got.size(), f.values[l].size()) << "line " << l << ": " << at[l];
    for (std::size_t i = 0; i < f.values[l].size(); ++i) {
      const double want = l == 104 ? f.values[l][i] : five_digits(f.values[l][i]);
      EXPECT_NEAR(got[i], want, 1e-12 * std::fabs(want)) << "line " << l << " value " << i + 1;
    }
  }
}

TEST(Velmo64v6EchoFile, ReadsBackAndCopiesItself) {
  rich_file f;
  scratch_dir first;
  ASSERT_EQ(run_with(first, f.in).exit_status, 0);
  const std::string echo1 = first.read(file_of(RUN, ".INP"));

  scratch_dir second;
  second.write("VELMO64v6.INP", echo1);
  run_result r = second.run("velmo64v6");
  ASSERT_EQ(r.exit_status, 0) << r.err;
  const std::string echo2 = second.read(file_of(RUN, ".INP"));

  std::vector<std::string> a = split_lines(echo1), b = split_lines(echo2);
  ASSERT_EQ(a.size(), b.size());
  // Line 1 carries the run stamp; the name before it is the same.
  EXPECT_EQ(a[0].substr(0, 17), b[0].substr(0, 17));
  for (std::size_t i = 1; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << "echo line " << i + 1;
  // The values the second run used are the rounded ones: its first data row
  // starts at the rounded TPRINT.
  std::vector<double> row = fields(lines_of(second, file_of(RUN, ".txt")).at(0));
  EXPECT_DOUBLE_EQ(row.at(0), 0.25);
  EXPECT_NEAR(row.at(3), five_digits(1.0987654321 * 1 + 2 * 1.11111111e-4), 1e-12);  // Ca_ext
}

}  // namespace
}  // namespace velmo64v6_test
