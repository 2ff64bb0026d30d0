#include "textio/exit_path.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "textio/test_child.h"
#include "textio/units.h"

namespace {

using textio_testing::scratch;
using textio_testing::slurp;
namespace fs = std::filesystem;

// One line names every file that could not be written, in the order they
// failed, and where the integrator's messages went.
TEST(ExitPath, FailedOutputIsOneLineNamingEachFile) {
  scratch dir;
  fs::create_symlink("/dev/full", dir / "a.txt");
  fs::create_symlink("/dev/full", dir / "b.txt");
  const auto r = dir.run([] {
    textio::start_run();
    std::string error;
    if (!textio::open_units({{4, "a.txt"}, {6, "r_ER.txt"}, {8, "b.txt"}}, &error)) std::exit(9);
    textio::write_unit(8, "row");
    textio::write_unit(4, "row");
    textio::write_unit(6, "message");
    textio::console().write_line("report");
    std::exit(textio::finish_run());
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "output could not be written completely: 'a.txt' (No space left on device), 'b.txt' "
            "(No space left on device); the integrator's messages are in 'r_ER.txt'\n");
  EXPECT_EQ(r.out, "report\n");
  EXPECT_EQ(slurp(dir / "r_ER.txt"), "message\n");
}

TEST(ExitPath, NormalEndIsQuiet) {
  scratch dir;
  const auto r = dir.run([] {
    textio::start_run();
    textio::console().write_line("report");
    std::exit(textio::finish_run());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "report\n");
}

// A closed standard output: no file takes its number, nothing is written
// there, and the run reports it.
TEST(ExitPath, ClosedStandardOutputIsFailedOutput) {
  scratch dir;
  const auto r = dir.run([] {
    ::close(STDOUT_FILENO);
    textio::set_line_end(textio::line_end::crlf);
    textio::start_run();
    std::string error;
    if (!textio::open_units({{8, "data.txt"}}, &error)) std::exit(9);
    if (textio::unit(8)->descriptor() == STDOUT_FILENO) std::exit(8);
    textio::write_unit(8, "row");
    textio::console().write_line("report");
    std::exit(textio::finish_run());
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "output could not be written completely: standard output (Bad file descriptor); the "
            "integrator's messages are on standard output\r\n");
  EXPECT_EQ(slurp(dir / "data.txt"), "row\r\n");
}

TEST(ExitPath, ErrorHaltWritesTheConsoleLinesAndSaysWhatEnded) {
  scratch dir;
  const auto r = dir.run([] {
    std::exit(textio::run([] {
      textio::console().write_line(" Phase   1");
      textio::error_halt(-4);
    }));
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, " Phase   1\n\n\n\n ERROR HALT.. ISTATE = -4\n");
  EXPECT_EQ(r.err, "the run stopped at ERROR HALT.. ISTATE = -4; the integrator's messages are on "
                   "standard output\n");
}

TEST(ExitPath, StopBeforeOutputIsStatusTwo) {
  scratch dir;
  const auto r = dir.run([] {
    std::exit(textio::run(
        [] { textio::stop_before_output("X.INP line 3: k1: expected a real number, found 'a'"); }));
  });
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "X.INP line 3: k1: expected a real number, found 'a'\n");
}

// A stop signal only sets a flag; the run ends at its next check, with what
// was written flushed in whole lines.
TEST(ExitPath, StopSignalEndsTheRunAtTheNextCheck) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    scratch dir;
    const auto r = dir.run([sig] {
      std::exit(textio::run([sig] {
        std::string error;
        if (!textio::open_units({{8, "data.txt"}}, &error)) std::exit(9);
        textio::write_unit(8, "row 1");
        std::raise(sig);
        if (textio::stop_signal() != sig) std::exit(8);
        textio::write_unit(8, "row 2");
        textio::stop_if_signalled();
        std::exit(7);
      }));
    });
    EXPECT_EQ(r.status, 128 + sig);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(slurp(dir / "data.txt"), "row 1\nrow 2\n");
  }
}

// One more stop signal while the run stops ends its writes: nothing more is
// written, and the file ends in the last whole line it had on disk. The
// lines fill the buffer up to the line end of row 655, so that the file
// holds part of that row.
TEST(ExitPath, SecondStopSignalEndsTheWrites) {
  const std::string head = std::string(36, 'h') + "\n";
  const std::string row = std::string(99, 'r') + "\n";
  const struct {
    int signals;
    std::size_t rows_kept;
    std::string err;
  } cases[] = {
      {1, 700, ""},
      {2, 654,
       "output could not be written completely: 'data.txt' (Interrupted system call); the "
       "integrator's messages are on standard output\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signals);
    scratch dir;
    const auto r = dir.run([&] {
      std::exit(textio::run([&] {
        std::string error;
        if (!textio::open_units({{8, "data.txt"}}, &error)) std::exit(9);
        textio::write_unit(8, head.substr(0, 36));
        for (int i = 0; i < 700; ++i) textio::write_unit(8, row.substr(0, 99));
        for (int i = 0; i < c.signals; ++i) std::raise(SIGTERM);
        textio::stop_if_signalled();
        std::exit(7);
      }));
    });
    EXPECT_EQ(r.status, 128 + SIGTERM);
    EXPECT_EQ(r.err, c.err);
    std::string kept = head;
    for (std::size_t i = 0; i < c.rows_kept; ++i) kept += row;
    const std::string data = slurp(dir / "data.txt");
    EXPECT_EQ(data.size(), kept.size());
    EXPECT_TRUE(data == kept) << "other rows than written";
  }
}

TEST(ExitPath, SignalIgnoredOnEntryStaysIgnored) {
  scratch dir;
  const auto r = dir.run([] {
    std::signal(SIGHUP, SIG_IGN);
    std::exit(textio::run([] {
      std::raise(SIGHUP);
      textio::stop_if_signalled();
      std::exit(textio::stop_signal() == 0 ? 5 : 6);
    }));
  });
  EXPECT_EQ(r.status, 5);
}

// A console reader that went away is failed output, not a silent death.
TEST(ExitPath, BrokenConsolePipeIsFailedOutput) {
  scratch dir;
  const auto r = dir.run([] {
    int fds[2];
    if (::pipe(fds) != 0) std::exit(9);
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    textio::start_run();
    textio::console().write_line("report");
    std::exit(textio::finish_run());
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "output could not be written completely: standard output (Broken pipe); the "
                   "integrator's messages are on standard output\n");
}

}  // namespace
