// A refused run takes back only the files it made and still holds: never a
// "tmp" that another program wrote while the refused run was still opening
// its files, never a file another run has taken over. And standard output
// is never one of the run's result files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/failures/failure_support.h"

namespace failures {
namespace {

using testing_support::sorted;

class RefusedRun : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }
};

std::vector<std::string> entries(const scratch_dir& dir) {
  return testing_support::directory_entries(dir.path());
}

// Another program, to run beside `p` in the same directory (nilpora beside
// the calcium programs, as in the field).
const program_info& other_program(const program_info& p) {
  const auto& all = bad_input::programs();
  for (auto q = all.rbegin(); q != all.rend(); ++q)
    if (q->name != p.name) return *q;
  return p;
}

// A directory in which the run blocks opening a FIFO, after it has made
// "tmp", and is refused once the FIFO opens.
struct blocked_layout {
  std::string what;
  // Lays out the directory; returns the line the run is refused with, or
  // empty when the layout does not fit the program.
  std::function<std::string(const scratch_dir&, const example_run&)> set_up;
  // The FIFO "pipe" is the parameter file too: the test writes the
  // parameter text into it, and no second run can read it.
  bool fed = false;
};

std::vector<blocked_layout> blocked_layouts() {
  return {
      {"the summary a FIFO, the file after it a directory",
       [](const scratch_dir& dir, const example_run& ex) -> std::string {
         const std::vector<std::string> files = ex.files();
         const std::string summary = ex.summary_file();
         auto next = std::find(files.begin(), files.end(), summary) + 1;
         if (next == files.end() || *next == "tmp") return "";
         ex.write_to(dir);
         EXPECT_EQ(::mkfifo((dir / summary).c_str(), 0644), 0);
         fs::create_directory(dir / *next);
         return "cannot create the file '" + *next + "' (Is a directory)";
       }},
      {"the parameter file and the summary links to one FIFO",
       [](const scratch_dir& dir, const example_run& ex) -> std::string {
         EXPECT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
         fs::create_symlink("pipe", dir / ex.p.parameter_file);
         fs::create_symlink("pipe", dir / ex.summary_file());
         return "cannot write the file '" + ex.summary_file() +
                "': it would overwrite the parameter file '" + ex.p.parameter_file + "'";
       },
       true},
  };
}

// Writes `text` into the FIFO `path` once `run` opens it for reading.
void feed(background_run& run, const fs::path& path, const std::string& text) {
  int fd = -1;
  ASSERT_TRUE(wait_until(run, [&] {
    fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0;
  })) << "the run never read its parameter file";
  ::fcntl(fd, F_SETFL, 0);
  EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
}

// The run blocks opening a FIFO after it made "tmp"; another program writes
// "tmp" meanwhile, and a run with the same run name finds the data file the
// blocked run made already locked. Then the FIFO opens and the blocked run is
// refused: "tmp" stays as the other program wrote it, byte for byte, and
// only the files the refused run made are gone.
TEST_P(RefusedRun, LeavesTheTmpAnotherProgramWroteMeanwhile) {
  const example_run ex(p());
  const example_run other(other_program(p()));
  for (const blocked_layout& layout : blocked_layouts()) {
    scratch_dir dir;
    const std::string refusal = layout.set_up(dir, ex);
    if (refusal.empty()) continue;
    SCOPED_TRACE(layout.what);
    const fs::path fifo = dir / (layout.fed ? "pipe" : ex.summary_file());
    other.write_to(dir);
    std::vector<std::string> expected = entries(dir);
    for (const std::string& name : other.files()) expected.push_back(name);
    background_run blocked(dir, p().name);
    if (layout.fed) feed(blocked, fifo, ex.text.text());
    ASSERT_TRUE(wait_until(blocked, [&] { return dir.exists("tmp"); }));

    if (!layout.fed) {
      background_run same(dir, p().name);
      const run_result r = wait_guarded(same);
      EXPECT_EQ(r.exit_status, 2);
      expect_error_line(ex, r,
                        "cannot write the file '" + ex.data_file() +
                            "': another run is writing it");
    }
    background_run beside(dir, other.p.name);
    const run_result b = wait_guarded(beside);
    ASSERT_EQ(b.exit_status, 0) << b.err;
    const std::string written = dir.read("tmp");
    EXPECT_NE(written.find(trimmed(other.padded_name())), std::string::npos) << written;
    ASSERT_TRUE(blocked.running()) << "the run did not wait at the FIFO";

    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(reader, 0);
    const run_result r = wait_guarded(blocked);
    if (reader >= 0) ::close(reader);
    EXPECT_EQ(r.exit_status, 2);
    expect_error_line(ex, r, refusal);
    EXPECT_EQ(dir.read("tmp"), written);
    EXPECT_EQ(entries(dir), sorted(expected));
  }
}

// Standard output on one of the run's result files ("tmp" included), as
// with `velmo67 > velmo67-ex.txt`: the console report would run through
// the file. The run stops before touching anything, naming the file.
TEST_P(RefusedRun, ConsoleOntoAResultFileStopsTheRun) {
  const example_run ex(p());
  for (const std::string& target : ex.files()) {
    SCOPED_TRACE("standard output: '" + target + "'");
    scratch_dir dir;
    ex.write_to(dir);
    const sentinels kept(dir, ex.files());
    run_options o;
    o.console = console_to::existing_file;
    o.console_file = dir / target;
    const run_result r = run_to_end(dir, p().name, o);
    EXPECT_EQ(r.exit_status, 2);
    expect_error_line(ex, r, "cannot write the file '" + target + "': it is standard output");
    kept.expect_untouched({p().parameter_file});
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, RefusedRun, testing::ValuesIn(bad_input::programs()),
                         program_name);

}  // namespace
}  // namespace failures
