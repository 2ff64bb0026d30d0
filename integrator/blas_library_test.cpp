// Results are reproducible bit for bit only with a BLAS whose level-1 kernels
// round as plain loops do: Debian's reference BLAS, not an optimised one with
// FMA kernels. This checks which library the LU routines actually reach. A
// build configured with another BLA_VENDOR chose otherwise on purpose: the
// checks are then skipped, saying that results are no longer reproducible.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "integrator/blas1.h"

namespace {

constexpr std::string_view configured_vendor = CALCIUM_BLA_VENDOR;

class BlasLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    if (configured_vendor != "Generic")
      GTEST_SKIP() << "BLA_VENDOR=" << configured_vendor
                   << " was chosen instead of the reference BLAS (Generic): results are no "
                      "longer reproducible bit for bit";
  }
};

TEST_F(BlasLibrary, IsTheReferenceImplementation) {
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&daxpy_), &info), 0);
  ASSERT_NE(info.dli_fname, nullptr);
  char resolved[PATH_MAX];
  const std::string path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
  EXPECT_NE(path.find("/blas/"), std::string::npos)
      << "daxpy_ comes from " << path
      << "; select the reference BLAS (update-alternatives --config libblas.so.3-x86_64-linux-gnu)";
}

// The reference daxpy is the plain loop y(i) = y(i) + a*x(i): with a product
// that is not exact, a fused multiply-add would round once instead of twice.
TEST_F(BlasLibrary, DaxpyRoundsProductAndSumSeparately) {
  const double a = 1.0 + 0x1p-30, x = 1.0 + 0x1p-30, y = -(1.0 + 0x1p-29);
  double v = y;
  integrator::blas::daxpy(1, a, &x, &v);
  volatile double product = a * x;
  EXPECT_EQ(v, product + y);
  EXPECT_EQ(v, 0.0);  // a*x rounds to y's magnitude; the exact result would be 2^-60
}

}  // namespace
