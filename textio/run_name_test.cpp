// The run name: the notice when the name is cut, and the form in which a
// name is written back into a parameter file, checked against the value
// reader itself.
#include "textio/run_name.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "textio/units.h"

namespace {

namespace fs = std::filesystem;

class RunName : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("textio_run_name_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    textio::reset_units();
  }

  // The file VELMO67.INP holding `line` as its line 1.
  std::string file(const std::string& line) {
    const fs::path p = dir_ / "VELMO67.INP";
    std::ofstream(p, std::ios::binary) << line << "\n";
    return p.string();
  }

  // What the value reader takes from `line` as a run name of `length`
  // characters (false when it cannot read it).
  bool read_back(const std::string& line, int length, std::string* name) {
    textio::value_reader in(file(line));
    name->assign(static_cast<std::size_t>(length), ' ');
    textio::read_error err;
    return in.read({textio::text("RUNNAME", name->data(), length)}, &err);
  }

  fs::path dir_;
};

std::string padded(std::string s, std::size_t n = 12) {
  s.resize(n, ' ');
  return s;
}

struct cut_case {
  std::string line;    // line 1 of the file
  std::string name;    // the padded run name read
  std::string notice;  // after "VELMO67.INP line 1: RUNNAME: "; empty: none
};

TEST_F(RunName, NoticeOnlyWhenMoreThanBlanksIsCut) {
  const std::string tail = " is longer than 10 characters; it is cut to 'experiment', and the "
                           "result files are named after it";
  const std::vector<cut_case> cases = {
      {"experiment_control  note", "experiment", "the run name 'experiment_control'" + tail},
      {"experiment  note", "experiment", ""},
      {"short", "short     ", ""},
      {"'experiment    '", "experiment", ""},
      {"'experiment 2'", "experiment", "the run name 'experiment 2'" + tail},
      {"'abcdefgh    x'", "abcdefgh  ",
       "the run name 'abcdefgh    x' is longer than 10 characters; it is cut to 'abcdefgh', and "
       "the result files are named after it"},
      {"'sub/experiment'", "sub/experi",
       "the run name 'sub/experiment' is longer than 10 characters; it is cut to 'sub/experi', "
       "and the result files are named after it"},
      {"'  abcdefghijkl'", "  abcdefgh",
       "the run name '  abcdefghijkl' is longer than 10 characters; it is cut to '  abcdefgh', "
       "and the result files are named after it"},
      {"'Messung_K\xc3\xa4lte'", "Messung_K\xc3",
       "the run name 'Messung_K\\xc3\\xa4lte' is longer than 10 characters; it is cut to "
       "'Messung_K\\xc3', and the result files are named after it"},
  };
  for (const cut_case& c : cases) {
    SCOPED_TRACE(c.line);
    textio::value_reader in(file(c.line));
    char name[10];
    std::string notice = "left over";
    textio::read_error err;
    ASSERT_TRUE(textio::read_run_name(in, "RUNNAME", name, 10, &notice, &err)) << err.message();
    EXPECT_EQ(std::string(name, 10), c.name);
    EXPECT_EQ(notice,
              c.notice.empty() ? "" : dir_.string() + "/VELMO67.INP line 1: RUNNAME: " + c.notice);
    // Without a notice wanted, the same name.
    textio::value_reader again(file(c.line));
    char same[10];
    ASSERT_TRUE(textio::read_run_name(again, "RUNNAME", same, 10, nullptr, &err));
    EXPECT_EQ(std::string(same, 10), c.name);
    textio::reset_units();
  }
}

TEST_F(RunName, SlashLeavesTheNameAndErrorsPassThrough) {
  {
    textio::value_reader in(file("/ no name"));
    char name[4] = {'k', 'e', 'e', 'p'};
    std::string notice;
    textio::read_error err;
    ASSERT_TRUE(textio::read_run_name(in, "RUNNAME", name, 4, &notice, &err));
    EXPECT_EQ(std::string(name, 4), "keep");
    EXPECT_EQ(notice, "");
  }
  textio::reset_units();
  textio::value_reader in(file("'no closing quote"));
  char name[4];
  std::string notice;
  textio::read_error err;
  EXPECT_FALSE(textio::read_run_name(in, "RUNNAME", name, 4, &notice, &err));
  EXPECT_EQ(err.line, 1);
  EXPECT_EQ(err.item, "RUNNAME");
}

// A name as long as a line may be: the notice shows its start only.
TEST_F(RunName, NoticeOfAnEndlessNameIsShort) {
  const std::string name(textio::value_reader::max_line_length - 2, 'x');
  textio::value_reader in(file("'" + name + "'"));
  char kept[10];
  std::string notice;
  textio::read_error err;
  ASSERT_TRUE(textio::read_run_name(in, "RUNNAME", kept, 10, &notice, &err)) << err.message();
  EXPECT_EQ(std::string(kept, 10), std::string(10, 'x'));
  EXPECT_NE(notice.find("xxx...' is longer than 10 characters"), std::string::npos) << notice;
  EXPECT_LT(notice.size(), 300u);
}

// Every name of up to three characters from an alphabet of the reader's
// special characters, and some full-length ones: the value written reads
// back as the same padded name, and a name whose unquoted text already
// reads back is written as it is.
TEST_F(RunName, WrittenNameReadsBackAsTheSameName) {
  const std::string alphabet = "a ,/'\"*1";
  std::vector<std::string> names = {
      "",         "it's",         "it's a run",   "'''",
      "a''b",     "12*",          "3*x",          "x3*",
      "*x",       "ECHO12CHARSX", "a b c d e f ", "''''''''''''",
      "\"dq\" x", "sub/x",        "  lead",       "Messung_K\xc3\xa4lte"};
  for (char a : alphabet) {
    names.push_back(std::string(1, a));
    for (char b : alphabet) {
      names.push_back(std::string{a, b});
      for (char c : alphabet) names.push_back(std::string{a, b, c});
    }
  }
  int quoted = 0;
  for (const std::string& n : names) {
    const std::string name = padded(n);
    SCOPED_TRACE("name [" + name + "]");
    const std::string value = textio::run_name_value(name);
    const std::string stamp = " (29-Jan-26, 12:00:00)";
    std::string got;
    ASSERT_TRUE(read_back("   " + value + stamp, 12, &got)) << value;
    EXPECT_EQ(got, name) << "written as [" << value << "]";
    if (read_back("   " + name + stamp, 12, &got) && got == name) {
      EXPECT_EQ(value, name) << "quoted without need";
    } else {
      ++quoted;
      EXPECT_EQ(value.front(), '\'');
    }
  }
  EXPECT_GT(quoted, 100);  // the alphabet does reach the quoted form
}

}  // namespace
