// Unusable input stops the program before it creates any result file; a
// result file that cannot be created stops it before it writes anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "models/velmo64v6/test_run.h"

namespace velmo64v6_test {
namespace {

TEST(Velmo64v6Input, ReaderErrorsNameFileAndLine) {
  struct error_case {
    const char* name;
    int line;             // line changed (0: none)
    const char* text;     // its new text
    int keep_lines;       // lines kept (110: all)
    const char* message;  // expected start of the one line on standard error
  };
  const error_case cases[] = {
      {"not a number", 40, "abc  !Vmax", 110, "VELMO64v6.INP line 40: k38: "},
      // Element 19 of this generation is the free receptor IP3R.
      {"bad species value", 101, "0.1, q, 0.1, 0.1 !ARCC,IP3R,IP3,Ind", 110,
       "VELMO64v6.INP line 101: IP3R: "},
      {"window of zero steps", 104, "0", 110, "VELMO64v6.INP line 104: NSW: "},
      {"window beyond 1000 steps", 104, "1001", 110, "VELMO64v6.INP line 104: NSW: "},
      {"window length not an integer", 104, "2.5", 110, "VELMO64v6.INP line 104: NSW: "},
      {"negative output interval", 2, "0 -0.5 10 0 0 0 0", 110, "VELMO64v6.INP line 2: DTOUT: "},
      {"file ends early", 0, "", 100, "VELMO64v6.INP line "},
  };
  for (const error_case& c : cases) {
    SCOPED_TRACE(c.name);
    input_file in = oscillator_base();
    if (c.line) in.set(c.line, c.text);
    in.lines.resize(c.keep_lines);
    scratch_dir dir;
    run_result r = run_with(dir, in);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
    EXPECT_TRUE(all_crlf(r.err));
    EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO64v6.INP"});
    EXPECT_EQ(r.out, "");
  }
  // No parameter file at all.
  scratch_dir empty;
  run_result r = empty.run("velmo64v6");
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_NE(r.err.find("VELMO64v6.INP"), std::string::npos) << r.err;
  EXPECT_TRUE(empty.files().empty());
}

// A bad value at any place of the initial-state lines (97..103) names its own
// species: every line, every position. Element 19 is the free receptor IP3R.
TEST(Velmo64v6Input, StateValueErrorsNameTheirSpecies) {
  const char* const species[7][4] = {{"Ca_cyt", "PMCA.M*", "Ca_ext", "M"},
                                     {"MCa4", "B", "BCa4", "PMCA.M"},
                                     {"PMCA", "SERCA", "Ca_lum", "L"},
                                     {"LCa30", "S", "R", "R.S"},
                                     {"ARCC", "IP3R", "IP3", "Ind"},
                                     {"Cacyt.Ind", "S2", "Gprot", "GS2"},
                                     {"PLC", "NCX.M*", "NCX.M", "NCX"}};
  for (int k = 0; k < 7; ++k) {
    for (int i = 0; i < 4; ++i) {
      std::string values[4] = {"0.5", "0.25", "2.0", "4.0"};
      values[i] = "bad" + std::to_string(i);
      input_file in = oscillator_base();
      const int line = 97 + k;
      in.set(line, values[0] + ", " + values[1] + ", " + values[2] + ", " + values[3]);
      SCOPED_TRACE(in.lines[line - 1]);
      scratch_dir dir;
      const run_result r = run_with(dir, in);
      EXPECT_EQ(r.exit_status, 2);
      const std::string message =
          "VELMO64v6.INP line " + std::to_string(line) + ": " + species[k][i] + ": ";
      EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
      EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO64v6.INP"});
    }
  }
}

TEST(Velmo64v6Input, ResultFileThatCannotBeCreated) {
  input_file in = oscillator_base();
  scratch_dir dir;
  const std::string blocked = file_of("OSC", "_fluxes.txt");
  std::filesystem::create_directory(dir / blocked);
  run_result r = run_with(dir, in);
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_EQ(split_lines(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find(blocked), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  // The files opened before it in the group are removed again.
  EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO64v6.INP"});
}

TEST(Velmo64v6Input, EchoFileNeverReplacesTheParameterFile) {
  // Leading blanks of a quoted run name are dropped from file names, so this
  // run name would give the echo file the parameter file's name.
  input_file in = oscillator_base();
  in.set(1, "'   VELMO64v6'");
  scratch_dir dir;
  run_result r = run_with(dir, in);
  EXPECT_EQ(r.exit_status, 2);
  EXPECT_NE(r.err.find("would overwrite"), std::string::npos) << r.err;
  EXPECT_EQ(dir.read("VELMO64v6.INP"), in.text());
  EXPECT_EQ(dir.files(), std::vector<std::string>{"VELMO64v6.INP"});
}

}  // namespace
}  // namespace velmo64v6_test
