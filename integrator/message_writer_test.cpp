// The message writer's line layouts, the print flag and the fatal level.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integrator/messages.h"
#include "integrator/test_problems.h"
#include "textio/exit_path.h"

namespace integrator::testing {
namespace {

class MessageWriter : public ::testing::Test {
 protected:
  void SetUp() override { reset_blocks(); }
  void TearDown() override { reset_blocks(); }
};

TEST_F(MessageWriter, TextLineIsOneBlankAndWholeGroupsOfFour) {
  message_capture capture;
  write_message("PART-- TEXT OF (=I1) 30 CHARS ", 30, 1, 1, 1, 7, 0, 0, 0.0, 0.0);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " PART-- TEXT OF (=I1) 30 CHARS   ");
  EXPECT_EQ(lines[0].size(), 33u);
  EXPECT_EQ(lines[1], "      IN ABOVE MESSAGE,  I1 =         7");
}

// A line of the table is written with its whole text: the length is the text's.
TEST_F(MessageWriter, TableLinesTakeTheirLengthFromTheText) {
  const message_line rows[] = {messages::istate_illegal, messages::ewt_not_positive,
                               messages::tiny_step, messages::tout_too_close};
  for (const message_line& line : rows) {
    message_capture capture;
    write_message(line, 1, 1, 7);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u) << line.text;
    EXPECT_EQ(lines[0], text(line));
    EXPECT_EQ(lines[0].substr(1, line.text.size()), line.text);
    EXPECT_EQ(lines[1], ints(7));
  }
}

// NCH characters take NCH/4 groups rounded up; no characters, no group.
TEST_F(MessageWriter, CountsRoundUpToWholeGroups) {
  struct row {
    int nmes;
    const char* line;
  } rows[] = {{0, " "},     {-3, " "},        {1, " ABCD"},
              {4, " ABCD"}, {5, " ABCDEFGH"}, {9, " ABCDEFGHIJKL"}};
  for (const row& r : rows) {
    message_capture capture;
    write_message("ABCDEFGHIJKL", r.nmes, 1, 1, 0, 0, 0, 0, 0.0, 0.0);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u) << "NMES " << r.nmes;
    EXPECT_EQ(lines[0], r.line) << "NMES " << r.nmes;
  }
}

TEST_F(MessageWriter, TextIsCutAtSixtyCharacters) {
  const std::string sixty(60, 'A');
  const std::string longer = sixty + "BCDEFGH";
  message_capture capture;
  write_message(sixty, 60, 1, 1, 0, 0, 0, 0, 0.0, 0.0);
  write_message(longer, 61, 1, 1, 0, 0, 0, 0, 0.0, 0.0);
  write_message(longer, 67, 1, 1, 0, 0, 0, 0, 0.0, 0.0);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& l : lines) EXPECT_EQ(l, " " + sixty);
}

TEST_F(MessageWriter, BothIntegersAndBothRealsGiveThreeLines) {
  message_capture capture;
  write_message("ABCD", 4, 5, 1, 2, 12, -345, 2, 1.5, -2.0e-3);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], " ABCD");
  EXPECT_EQ(lines[1], "      IN ABOVE MESSAGE,  I1 =        12   I2 =      -345");
  EXPECT_EQ(lines[2], "      IN ABOVE,  R1 =  0.1500000000000D+01   R2 = -0.2000000000000D-02");
}

TEST_F(MessageWriter, RealValueLinesWithThreeDigitExponentsAndZero) {
  message_capture capture;
  write_message("ABCD", 4, 5, 1, 0, 0, 0, 1, 1.0e-150, 0.0);
  write_message("ABCD", 4, 5, 1, 0, 0, 0, 1, 0.0, 0.0);
  write_message("ABCD", 4, 5, 1, 3, 1, 1, 3, 1.0, 1.0);  // out-of-range counts: text only
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "      IN ABOVE MESSAGE,  R1 =  0.1000000000000-149");
  EXPECT_EQ(lines[3], "      IN ABOVE MESSAGE,  R1 =  0.0000000000000D+00");
  EXPECT_EQ(lines[4], " ABCD");
}

TEST_F(MessageWriter, IntegerFieldOverflowsToAsterisks) {
  message_capture capture;
  write_message("ABCD", 4, 5, 1, 1, -2147483647, 0, 0, 0.0, 0.0);
  const std::vector<std::string> lines = capture.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "      IN ABOVE MESSAGE,  I1 =**********");
}

TEST_F(MessageWriter, PrintFlagZeroWritesNothing) {
  message_capture capture;
  message_control.PRINT_FLAG = 0;
  write_message("ABCD", 4, 5, 1, 2, 1, 2, 2, 1.0, 2.0);
  EXPECT_TRUE(capture.lines().empty());
}

// All three lines of a message go to the message unit, and only there.
TEST_F(MessageWriter, MessagesGoToTheMessageUnit) {
  char name[] = "/tmp/integrator_unit7XXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  ::close(fd);
  std::string err;
  ASSERT_TRUE(textio::open_unit(7, name, &err)) << err;
  message_capture capture;  // unit 6
  message_control.MESSAGE_UNIT = 7;
  write_message("ABCD", 4, 5, 1, 1, 42, 0, 1, 2.5, 0.0);
  textio::close_unit(7);
  std::ifstream in(name);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::remove(name);
  EXPECT_EQ(lines,
            (std::vector<std::string>{" ABCD", "      IN ABOVE MESSAGE,  I1 =        42",
                                      "      IN ABOVE MESSAGE,  R1 =  0.2500000000000D+01"}));
  EXPECT_TRUE(capture.lines().empty());
}

using MessageWriterDeathTest = MessageWriter;

TEST_F(MessageWriterDeathTest, FatalLevelEndsTheRunWithFailureStatusAfterFlushing) {
  char name[] = "/tmp/integrator_fatalXXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EXIT(std::exit(textio::run([&] {
                std::string err;
                textio::open_unit(6, name, &err);
                write_message("FATAL TEXT  ", 10, 303, 2, 0, 0, 0, 0, 0.0, 0.0);
                std::exit(0);  // not reached
              })),
              ::testing::ExitedWithCode(1), "");
  std::ifstream in(name);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, " FATAL TEXT  ");
  std::remove(name);
}

TEST_F(MessageWriterDeathTest, FatalLevelStopsEvenWhenNothingIsPrinted) {
  EXPECT_EXIT(std::exit(textio::run([] {
                message_control.PRINT_FLAG = 0;
                write_message("FATAL TEXT  ", 10, 303, 2, 0, 0, 0, 0, 0.0, 0.0);
                std::exit(0);  // not reached
              })),
              // The cause on standard error is the text without its padding.
              ::testing::ExitedWithCode(1), "the integrator stopped the run: FATAL TEXT; ");
}

}  // namespace
}  // namespace integrator::testing
