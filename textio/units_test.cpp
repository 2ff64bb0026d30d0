#include "textio/units.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "textio/clock.h"
#include "textio/exit_path.h"
#include "textio/test_child.h"

namespace {

namespace fs = std::filesystem;

using textio_testing::run_child;
using textio_testing::slurp;

class Units : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("textio_units_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(Units, FileNamesDropOuterBlanksOnly) {
  EXPECT_EQ(textio::trimmed_file_name("ab        .txt"), "ab        .txt");
  EXPECT_EQ(textio::trimmed_file_name("  run       _ER.txt  "), "run       _ER.txt");
  EXPECT_EQ(textio::trimmed_file_name("          .txt"), ".txt");
  EXPECT_EQ(textio::trimmed_file_name("   "), "");
}

TEST_F(Units, ExitFlushesEveryFileAndTheConsole) {
  std::ofstream(dir_ / "ab  .txt") << "old content that must go away\n";
  const int status = run_child(dir_, dir_ / "stdout", [] {
    std::string error;
    if (!textio::open_unit(8, "  ab  .txt", &error)) std::exit(3);
    if (!textio::open_unit(9, "tmp", &error)) std::exit(3);
    for (int k = 0; k < 20000; ++k) textio::write_unit(8, "row " + std::to_string(k));
    textio::write_unit(9, " run");
    textio::console().write_line(" report");
    textio::write_unit(42, "unit not open: dropped");
  });
  EXPECT_EQ(status, 0);
  const std::string rows = slurp(dir_ / "ab  .txt");
  EXPECT_EQ(rows.substr(0, 6), "row 0\n");
  EXPECT_EQ(rows.size(), [] {
    std::size_t n = 0;
    for (int k = 0; k < 20000; ++k) n += 5 + std::to_string(k).size();
    return n;
  }());
  EXPECT_EQ(slurp(dir_ / "tmp"), " run\n");
  EXPECT_EQ(slurp(dir_ / "stdout"), " report\n");
}

TEST_F(Units, LineEndPolicyAppliesToFilesAndConsole) {
  const int status = run_child(dir_, dir_ / "stdout", [] {
    std::exit(textio::run([] {
      textio::set_line_end(textio::line_end::crlf);
      std::string error;
      textio::open_unit(5, "x_summary.txt", &error);
      textio::write_unit(5, "a");
      textio::write_unit(5, "");
      textio::console().write_line("b");
      textio::stop(0);
    }));
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(slurp(dir_ / "x_summary.txt"), "a\r\n\r\n");
  EXPECT_EQ(slurp(dir_ / "stdout"), "b\r\n");
}

TEST_F(Units, Unit6IsTheConsoleUntilAFileIsOpenOnIt) {
  const int status = run_child(dir_, dir_ / "stdout", [] {
    std::exit(textio::run([] {
      textio::write_unit(6, " INTEG-- first");
      textio::console().write_line(" report 1");
      std::string error;
      textio::open_unit(6, "r_ER.txt", &error);
      textio::write_unit(6, " INTEG-- into the ER file");
      textio::console().write_line(" report 2");  // not redirected
      textio::close_unit(6);
      textio::write_unit(6, " INTEG-- console again");
      textio::stop(0);
    }));
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(slurp(dir_ / "stdout"),
            " INTEG-- first\n report 1\n report 2\n INTEG-- console again\n");
  EXPECT_EQ(slurp(dir_ / "r_ER.txt"), " INTEG-- into the ER file\n");
}

TEST_F(Units, LinesLongerThanTheBufferArriveWhole) {
  const std::string big(200000, 'z');
  const int status = run_child(dir_, dir_ / "stdout", [&] {
    std::string error;
    textio::open_unit(3, "big.txt", &error);
    textio::write_unit(3, "head");
    textio::write_unit(3, big);
    textio::write_unit(3, "tail");
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(slurp(dir_ / "big.txt"), "head\n" + big + "\ntail\n");
}

TEST_F(Units, OpenFailureNamesTheFileAndReason) {
  std::string error;
  EXPECT_FALSE(textio::open_unit(7, (dir_ / "no_such_dir" / "x.txt").string(), &error));
  EXPECT_NE(error.find("no_such_dir/x.txt"), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  EXPECT_EQ(textio::unit(7), nullptr);
  EXPECT_FALSE(textio::open_unit(100, "x", &error));
}

// A group either opens whole, replacing earlier files, or changes nothing:
// the files of an earlier run survive a group whose last file is blocked.
TEST_F(Units, GroupOpensAllOrNothing) {
  const auto write = [&](const char* name, const char* text) {
    std::ofstream(dir_ / name) << text;
  };
  write("a.txt", "old a");
  write("tmp", "old tmp");
  fs::create_directory(dir_ / "c.txt");
  const int failed = run_child(dir_, dir_ / "out", [] {
    std::string error;
    const bool ok =
        textio::open_units({{8, "a.txt"}, {9, "tmp"}, {5, "b.txt"}, {7, "c.txt"}}, &error);
    std::exit(!ok && error.find("'c.txt'") != std::string::npos && !textio::unit(8) ? 3 : 4);
  });
  EXPECT_EQ(failed, 3);
  EXPECT_EQ(slurp(dir_ / "a.txt"), "old a");
  EXPECT_EQ(slurp(dir_ / "tmp"), "old tmp");
  EXPECT_FALSE(fs::exists(dir_ / "b.txt"));  // created by the group, removed again

  fs::remove(dir_ / "c.txt");
  const int opened = run_child(dir_, dir_ / "out", [] {
    std::string error;
    if (!textio::open_units({{8, "  a.txt "}, {9, "tmp"}, {7, "c.txt"}}, &error)) std::exit(4);
    textio::write_unit(8, "new");
  });
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(slurp(dir_ / "a.txt"), "new\n");
  EXPECT_EQ(slurp(dir_ / "tmp"), "");
  EXPECT_EQ(slurp(dir_ / "c.txt"), "");
}

TEST_F(Units, LostOutputIsNotANormalEnd) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const int status = run_child(dir_, dir_ / "stdout", [] {
    std::exit(textio::run([] {
      std::string error;
      textio::open_unit(4, "/dev/full", &error);
      textio::write_unit(4, "cannot land");
      textio::stop(0);
    }));
  });
  EXPECT_EQ(status, 1);
}

TEST(Clock, StampLayout) {
  std::tm t{};
  t.tm_mday = 10;
  t.tm_mon = 11;
  t.tm_year = 126;
  t.tm_hour = 9;
  t.tm_min = 4;
  t.tm_sec = 53;
  const textio::run_stamp s = textio::stamp_of(t);
  EXPECT_STREQ(s.date, "10-Dec-26");
  EXPECT_STREQ(s.time, "09:04:53");
  t.tm_mday = 1;
  t.tm_mon = 0;
  t.tm_year = 100;
  EXPECT_STREQ(textio::stamp_of(t).date, "01-Jan-00");
}

TEST(Clock, NowHasTheLayout) {
  const textio::run_stamp s = textio::read_clock();
  ASSERT_EQ(std::string(s.date).size(), 9u);
  EXPECT_EQ(s.date[2], '-');
  EXPECT_EQ(s.date[6], '-');
  ASSERT_EQ(std::string(s.time).size(), 8u);
  EXPECT_EQ(s.time[2], ':');
  EXPECT_EQ(s.time[5], ':');
  const textio::cpu_times c = textio::read_cpu_times();
  EXPECT_GE(c.user, 0.0f);
  EXPECT_GE(c.system, 0.0f);
}

}  // namespace
