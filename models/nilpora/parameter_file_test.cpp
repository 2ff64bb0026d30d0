#include "models/nilpora/parameter_file.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/program_run.h"

namespace {

using testing_support::scratch_dir;

TEST(ParameterFile, ReadsSixStatementsAndIgnoresNotes) {
  scratch_dir dir;
  const std::string text = "leak-a   the run name\r\n"
                           "0.5, 0.25 4.0  output times\r\n"
                           "2.5D0   VMAX\r\n"
                           "1.0E-01 KM\r\n"
                           "3       KACT\r\n"
                           "1.5\r\n"
                           "0.5     Y(2) continues the statement\r\n";
  dir.write("NILPORA.INP", text);
  nilpora::run_input in;
  textio::read_error err;
  ASSERT_TRUE(nilpora::read_parameter_file((dir / "NILPORA.INP").string(), &in, &err))
      << err.message();
  EXPECT_EQ(std::string(in.RUNNAME, 10), "leak-a    ");
  EXPECT_EQ(in.TOUT, 0.5);
  EXPECT_EQ(in.DTOUT, 0.25);
  EXPECT_EQ(in.TFINAL, 4.0);
  EXPECT_EQ(in.VMAX0, 2.5);
  EXPECT_EQ(in.KM, 0.1);
  EXPECT_EQ(in.KACT, 3.0);
  EXPECT_EQ(in.Y[0], 1.5);
  EXPECT_EQ(in.Y[1], 0.5);
}

// Only output intervals under which the output loop could never pass TFINAL
// are refused; DTOUT = 0 from output time 0 ends through the integrator.
TEST(ParameterFile, OutputIntervalThatNeverEnds) {
  struct {
    double tout, dtout, tfinal;
    bool never_ends;
  } cases[] = {
      {0.0, 0.5, 10.0, false},
      {0.0, 0.0, 10.0, false},  // four repeated calls, then the integrator
                                // stops
      {1.0, 0.0, 10.0, true},
      {-1.0, 0.0, 10.0, true},
      {0.0, -0.5, 10.0, true},
      {2.0, -0.5, 10.0, true},
      {2.0, 0.0, 1.0, false},  // first output time already past TFINAL:
                               // one step
      {2.0, -0.5, 1.0, false},
      {10.0, 0.0, 10.0, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nilpora::output_interval_never_ends(c.tout, c.dtout, c.tfinal), c.never_ends)
        << c.tout << " " << c.dtout << " " << c.tfinal;
}

}  // namespace
