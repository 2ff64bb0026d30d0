// Runs side by side in one directory. A run holds a lock on every file named
// after its run name for its whole duration: a second run that finds one
// locked stops before touching anything. "tmp", shared by every program in
// the directory, is locked only while it is written, and a run that finds it
// locked waits for it. The locks that "another run" holds here are the
// test's own.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "tests/failures/failure_support.h"

namespace failures {
namespace {

class ConcurrentRuns : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

// Each file named after the run, locked in turn.
TEST_P(ConcurrentRuns, LockedResultFileStopsTheRunUntouched) {
  const example_run ex(p());
  for (const std::string& locked : ex.files()) {
    if (locked == "tmp") continue;
    SCOPED_TRACE("locked: '" + locked + "'");
    scratch_dir dir;
    ex.write_to(dir);
    const sentinels kept(dir, ex.files());
    const held_lock lock(dir / locked);
    ASSERT_TRUE(lock.held());
    const run_result r = run_to_end(dir, p().name);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.out, "");
    expect_error_line(ex, r, "cannot write the file '" + locked + "': another run is writing it");
    kept.expect_untouched({p().parameter_file});
  }
}

// "tmp" locked: the run waits without touching it, and says so on standard
// error. Once the lock is let go it ends normally; a stop signal ends the
// wait and the run, "tmp" as it was.
TEST_P(ConcurrentRuns, LockedTmpIsWaitedFor) {
  const example_run ex(p());
  std::string earlier;  // longer than any run's, so that a rewrite must empty it
  for (int i = 0; i < 50; ++i) earlier += "another program's run information\n";
  const std::string waiting =
      ex.notice() + "waiting for 'tmp', which another run is writing" + p().line_end;
  for (const int stop : {0, SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(stop ? "stopped while waiting by signal " + std::to_string(stop) : "lock let go");
    scratch_dir dir;
    ex.write_to(dir);
    dir.write("tmp", earlier);
    held_lock lock(dir / "tmp");
    ASSERT_TRUE(lock.held());
    background_run run(dir, p().name);
    ASSERT_TRUE(wait_until(run, [&] { return run.err_so_far() == waiting; }))
        << "no word of the wait: '" << run.err_so_far() << "'";
    EXPECT_EQ(dir.read("tmp"), earlier);
    if (stop) {
      ASSERT_EQ(::kill(run.pid(), stop), 0);
    } else {
      lock.release();
    }
    const run_result r = wait_guarded(run);
    EXPECT_EQ(r.err, waiting);
    const std::string tmp = dir.read("tmp");
    if (stop) {
      EXPECT_EQ(r.exit_status, 128 + stop);
      EXPECT_EQ(tmp, earlier);
      EXPECT_EQ(r.out, "") << "the run went on after the wait";
    } else {
      EXPECT_EQ(r.exit_status, 0);
      EXPECT_EQ(tmp.find("another"), std::string::npos);
      EXPECT_EQ(split_lines(tmp).size(), static_cast<std::size_t>(p().tmp_lines));
    }
  }
}

// A run in progress: a second run with the same run name stops without
// cutting the first one's files; one with another run name runs beside it.
TEST_P(ConcurrentRuns, SameRunNameRefusedOtherRunNameRunsBeside) {
  example_run first(p());
  first.make_endless();
  scratch_dir dir;
  first.write_to(dir);
  background_run running(dir, p().name);
  ASSERT_TRUE(wait_for_content(running, dir / first.data_file()));

  const auto rows_before = size_of(dir / first.data_file());
  const run_result same = run_to_end(dir, p().name);
  EXPECT_EQ(same.exit_status, 2);
  expect_error_line(first, same,
                    "cannot write the file '" + first.data_file() + "': another run is writing it");
  EXPECT_GE(size_of(dir / first.data_file()), rows_before);

  example_run other(p());
  other.set_run_name("beside");
  other.write_to(dir);
  const run_result beside = run_to_end(dir, p().name);
  EXPECT_EQ(beside.exit_status, 0) << beside.err;
  for (const std::string& name : other.files()) EXPECT_TRUE(dir.exists(name)) << name;
  EXPECT_TRUE(running.running());
}

INSTANTIATE_TEST_SUITE_P(Programs, ConcurrentRuns, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
