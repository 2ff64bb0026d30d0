// The run skeleton on a program of its own: the order in which it calls a
// description, and where each way out of the run leaves it.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "models/calcium/output_units.h"
#include "models/calcium/program.h"
#include "textio/test_child.h"
#include "textio/units.h"

namespace calcium {
namespace {

using textio_testing::scratch;
using textio_testing::slurp;
namespace fs = std::filesystem;

constexpr result_file files[] = {{data_unit, ".txt", ""}, {run_info_unit, "", "tmp"}};

// Two phases of two steps each; each hook writes its name on the console,
// and the data file gets a row a step. `fail_at` makes that step's
// integration fail (ISTATE -1), `signal_at` raises SIGTERM after that
// step's rows (steps counted from 1 over the run).
class logged_program final : public program_description {
 public:
  bool read_ok = true;
  std::string set_up_problem;
  int fail_at = 0;
  int signal_at = 0;

  textio::line_end line_end() const override { return textio::line_end::lf; }
  bool read_parameters(textio::read_error* err, std::string* notice) override {
    log("read");
    *err = {"P.INP", 2, "DTOUT", "expected a real number, found 'x'"};
    if (read_ok) *notice = "P.INP line 1: RUNNAME: cut";
    return read_ok;
  }
  std::string set_up() override {
    log("set_up");
    return set_up_problem;
  }
  std::string_view run_name() const override { return "run"; }
  std::span<const result_file> result_files() const override { return files; }
  void write_before_run_information(const textio::run_stamp&) override { log("before tmp"); }
  void write_run_information(const textio::run_stamp&) override {
    log("tmp");
    textio::write_unit(run_info_unit, " run");
  }
  void write_run_start(const textio::run_stamp&) override { log("start"); }
  bool start_phase() override {
    log("phase " + std::to_string(++phase_));
    step_in_phase_ = 0;
    return phase_ <= 2;
  }
  int integrate_step() override {
    ++step_;
    log("integrate " + std::to_string(step_));
    return step_ == fail_at ? -1 : 2;
  }
  bool finish_step() override {
    log("finish " + std::to_string(step_));
    textio::write_unit(data_unit, " row " + std::to_string(step_));
    if (step_ == signal_at) std::raise(SIGTERM);
    return ++step_in_phase_ < 2;
  }
  void end_phase() override { log("end phase"); }
  void close_result_files() override { log("close"); }
  void write_end_of_run_report(const textio::run_stamp&) override { log("report"); }

 private:
  static void log(const std::string& what) { textio::console().write_line(what); }
  int phase_ = 0;
  int step_ = 0;
  int step_in_phase_ = 0;
};

std::string lines(const std::vector<std::string>& v) {
  std::string out;
  for (const std::string& l : v) out += l + "\n";
  return out;
}

TEST(ProgramRun, CallsTheDescriptionInTheOrderOfTheRun) {
  scratch dir;
  const auto r = dir.run([] {
    logged_program p;
    std::exit(run_program(p));
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "P.INP line 1: RUNNAME: cut\n");
  EXPECT_EQ(r.out, lines({"read",      "set_up",      "before tmp",  "tmp",         "start",
                          "phase 1",   "integrate 1", "finish 1",    "integrate 2", "finish 2",
                          "end phase", "phase 2",     "integrate 3", "finish 3",    "integrate 4",
                          "finish 4",  "end phase",   "phase 3",     "close",       "report"}));
  EXPECT_EQ(slurp(dir / "run.txt"), lines({" row 1", " row 2", " row 3", " row 4"}));
  EXPECT_EQ(slurp(dir / "tmp"), " run\n");
}

// Each way out ends the run where it happens: nothing of the description
// is called after it.
TEST(ProgramRun, EachStopEndsTheRunWhereItHappens) {
  const struct {
    std::string what;
    void (*make)(logged_program&);
    int status;
    std::string out;
    std::string err;
    bool files;
  } cases[] = {
      {"reader refusal", [](logged_program& p) { p.read_ok = false; }, 2, lines({"read"}),
       "P.INP line 2: DTOUT: expected a real number, found 'x'\n", false},
      {"set-up refusal", [](logged_program& p) { p.set_up_problem = "P.INP: NSW"; }, 2,
       lines({"read", "set_up"}), "P.INP line 1: RUNNAME: cut\nP.INP: NSW\n", false},
      {"failed integration", [](logged_program& p) { p.fail_at = 3; }, 1,
       lines({"read", "set_up", "before tmp", "tmp", "start", "phase 1", "integrate 1", "finish 1",
              "integrate 2", "finish 2", "end phase", "phase 2", "integrate 3", "", "", "",
              " ERROR HALT.. ISTATE = -1"}),
       "P.INP line 1: RUNNAME: cut\nthe run stopped at ERROR HALT.. ISTATE = -1; the "
       "integrator's messages are on standard output\n",
       true},
      {"stop signal", [](logged_program& p) { p.signal_at = 1; }, 128 + SIGTERM,
       lines(
           {"read", "set_up", "before tmp", "tmp", "start", "phase 1", "integrate 1", "finish 1"}),
       "P.INP line 1: RUNNAME: cut\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    scratch dir;
    const auto r = dir.run([&c] {
      logged_program p;
      c.make(p);
      std::exit(run_program(p));
    });
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(fs::exists(dir / "run.txt"), c.files);
    EXPECT_EQ(fs::exists(dir / "tmp"), c.files);
  }
}

}  // namespace
}  // namespace calcium
