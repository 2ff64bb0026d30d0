// velmo66 end to end: a parameter file it cannot use, or a result file it
// cannot create, stops it before it writes anything, with one line (ending
// in CR LF) on standard error and exit status 2.
#include <gtest/gtest.h>

#include "models/velmo66/test_input.h"
#include "models/velmo67/test_input.h"

namespace {

using namespace velmo66_testing;

TEST(Velmo66Reader, BadParameterFilesStopBeforeAnyResultFile) {
  const auto with = [](int line, std::string value) {
    return with_line(base_input(), line, value);
  };
  const bad_file cases[] = {
      {"missing band line", [] { return base_input().head(157); },
       "VELMO66.INP line 158: epsilon(3): "},
      {"bad real", with(57, "abc  k55"), "VELMO66.INP line 57: k55: "},
      {"bad species value", with(145, "1.0, 1.0, x, 0.5"), "VELMO66.INP line 145: Ca_lum: "},
      {"bad integer", with(151, "1.5 0 0 0 0"), "VELMO66.INP line 151: NOUT(1): "},
      {"window length 0", with(152, "0  NSW"), "VELMO66.INP line 152: NSW: "},
      {"window length 1001", with(152, "1001  NSW"), "VELMO66.INP line 152: NSW: "},
      {"negative interval", with(2, "0.0 -0.1 1 1 1 1 1"), "VELMO66.INP line 2: DTOUT: "},
      // velmo66's line 106 holds two values; velmo67's one and a note.
      {"velmo67 file with notes", [] { return velmo67_testing::input_file().text(); },
       "VELMO66.INP line 106: PHASECHG(106,2): "},
  };
  for (const bad_file& c : cases) expect_reader_stop(velmo66_program, c.text(), c.message, c.what);
}

TEST(Velmo66Reader, MissingParameterFileOrUncreatableResultFile) {
  {
    scratch_dir dir;
    const run_result r = dir.run("velmo66");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err.rfind("VELMO66.INP line 1: RUNNAME: ", 0), 0u) << r.err;
    EXPECT_TRUE(dir.files().empty());
  }
  {
    scratch_dir dir;
    input_file in = base_input();
    in.set(1, "'sub/x'");
    dir.write("VELMO66.INP", in.text());
    const run_result r = dir.run("velmo66");
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("sub/x"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO66.INP"});
  }
}

}  // namespace
