// velmo65 end to end: a parameter file it cannot use, or a result file it
// cannot create, stops it before it writes anything, with one line (ending
// in CR LF) on standard error and exit status 2.
#include <gtest/gtest.h>

#include "models/velmo65/test_input.h"
#include "models/velmo67/test_input.h"

namespace {

using namespace velmo65_testing;

TEST(Velmo65Reader, BadParameterFilesStopBeforeAnyResultFile) {
  const auto with = [](int line, std::string value) {
    return with_line(base_input(), line, value);
  };
  const bad_file cases[] = {
      {"short file", [] { return base_input().head(120); },
       "VELMO65.INP line 121: PHASECHG(121): "},
      {"bad real", with(10, "5..0  k8"), "VELMO65.INP line 10: k8: "},
      {"bad species value", with(150, "0.1, 0.1, 1.0, q"), "VELMO65.INP line 150: IP3R: "},
      {"bad integer", with(151, "0 0 0 0 x"), "VELMO65.INP line 151: NOUT(5): "},
      {"window length 0", with(152, "0  NSW"), "VELMO65.INP line 152: NSW: "},
      {"negative interval", with(2, "0.0 -1e-3 1 1 1 1 1"), "VELMO65.INP line 2: DTOUT: "},
      {"pair line 82 with one value", with(82, "2.0e-5   k1 of phase 2"),
       "VELMO65.INP line 82: PHASECHG(82,2): "},
      {"velmo67 file with notes", [] { return velmo67_testing::input_file().text(); },
       "VELMO65.INP line 106: PHASECHG(106,2): "},
  };
  for (const bad_file& c : cases) expect_reader_stop(velmo65_program, c.text(), c.message, c.what);
}

TEST(Velmo65Reader, MissingParameterFileOrUncreatableResultFile) {
  {
    scratch_dir dir;
    const run_result r = dir.run("velmo65");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err.rfind("VELMO65.INP line 1: RUNNAME: ", 0), 0u) << r.err;
    EXPECT_TRUE(dir.files().empty());
  }
  {
    // The flux file is the last of the group: nothing is left behind.
    scratch_dir dir;
    dir.write("VELMO65.INP", base_input().text());
    std::filesystem::create_directory(dir / "t65        _fluxes.txt");
    const run_result r = dir.run("velmo65");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("_fluxes.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO65.INP"});
  }
}

}  // namespace
