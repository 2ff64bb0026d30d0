#include "textio/value_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "textio/units.h"

namespace {

namespace fs = std::filesystem;
using textio::integer;
using textio::read_error;
using textio::real;
using textio::text;
using textio::value_reader;

class ValueReader : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("textio_reader_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  // A reader records the file it read as a run's input; forget it, or a
  // later test's new file that reuses the freed inode would count as it.
  void TearDown() override {
    fs::remove_all(dir_);
    textio::reset_units();
  }

  // Writes `content` as VELMO67.INP and returns a reader on it.
  value_reader file(const std::string& content) {
    const fs::path p = dir_ / "VELMO67.INP";
    std::ofstream(p, std::ios::binary) << content;
    return value_reader(p.string());
  }
  // The error message with the directory dropped from the file name.
  std::string message(const read_error& e) {
    read_error copy = e;
    copy.file = fs::path(e.file).filename().string();
    return copy.message();
  }

  fs::path dir_;
};

TEST_F(ValueReader, SeparatorsAndRestOfLineIgnored) {
  auto r = file("1.5 2,3\t4 , 5 !Ca_cyt,PMCA.M*,Ca_ext,M\n6 7 8\n9\n");
  double a = 0, b = 0, c = 0, d = 0, e = 0;
  read_error err;
  ASSERT_TRUE(r.read({real("a", a), real("b", b), real("c", c), real("d", d), real("e", e)}, &err));
  EXPECT_EQ(a, 1.5);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(e, 5);
  // One value wanted from "6 7 8": the rest of that line is dropped.
  ASSERT_TRUE(r.read({real("a", a)}, &err));
  EXPECT_EQ(a, 6);
  ASSERT_TRUE(r.read({real("a", a)}, &err));
  EXPECT_EQ(a, 9);
  EXPECT_EQ(r.line_number(), 3);
}

TEST_F(ValueReader, TooFewValuesContinueOnNextLinesSkippingBlankOnes) {
  auto r = file("1 2\n\n   \t\n3 4 note\n5\n");
  double v[4] = {};
  read_error err;
  ASSERT_TRUE(
      r.read({real("v1", v[0]), real("v2", v[1]), real("v3", v[2]), real("v4", v[3])}, &err));
  EXPECT_EQ(v[2], 3);
  EXPECT_EQ(v[3], 4);
  EXPECT_EQ(r.line_number(), 4);
  ASSERT_TRUE(r.read({real("v1", v[0])}, &err));
  EXPECT_EQ(v[0], 5);
}

TEST_F(ValueReader, RepeatCountsNullValuesAndSlash) {
  struct c {
    const char* line;
    double want[4];
  };
  // Destinations start at -1; a null or an item after a slash keeps it.
  const c cases[] = {
      {"3*0.5 1\n", {0.5, 0.5, 0.5, 1}},
      {"2* 7 8\n", {-1, -1, 7, 8}},
      {"1.0,,3.0,4\n", {1, -1, 3, 4}},
      {",2,3,4\n", {-1, 2, 3, 4}},
      {"1.0,\n2.0 3 4\n", {1, 2, 3, 4}},    // a trailing comma is no null
      {"1.0,\n,3.0 4 5\n", {1, -1, 3, 4}},  // but two commas are
      {"1.0 / 2.0 3 4\n", {1, -1, -1, -1}},
      {"1 2/\n", {1, 2, -1, -1}},
      {"1 2 2*9 9 9\n", {1, 2, 9, 9}},
      {"5*4\n", {4, 4, 4, 4}},
      // A repeat-null as the last item of its line, with either line end
      // and at the end of the file.
      {"1 2 3 1*\n", {1, 2, 3, -1}},
      {"1 2 3 1*\r\n", {1, 2, 3, -1}},
      {"1 2 2*\n", {1, 2, -1, -1}},
      {"1 2 3 9*\n", {1, 2, 3, -1}},
      {"1 2 3 1*", {1, 2, 3, -1}},
  };
  for (const c& k : cases) {
    const bool last_line = std::string(k.line).back() != '\n';
    auto r = file(std::string(k.line) + (last_line ? "" : "77\n"));
    double v[4] = {-1, -1, -1, -1};
    read_error err;
    ASSERT_TRUE(r.read({real("a", v[0]), real("b", v[1]), real("c", v[2]), real("d", v[3])}, &err))
        << k.line << err.message();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], k.want[i]) << k.line << " item " << i;
    if (last_line) continue;
    // The statement after always starts on the line after.
    double next = 0;
    ASSERT_TRUE(r.read({real("next", next)}, &err));
    EXPECT_EQ(next, 77) << k.line;
  }
}

TEST_F(ValueReader, RealForms) {
  struct c {
    const char* text;
    double want;
  };
  const c cases[] = {
      {"1", 1.0},
      {"1.", 1.0},
      {".5", 0.5},
      {"1e3", 1000.0},
      {"1.0E-03", 1.0e-3},
      {"1.0D-03", 1.0e-3},
      {"1.0d+3", 1000.0},
      {"+2", 2.0},
      {"-2", -2.0},
      {"1.0+3", 1000.0},
      {"1.0000-100", 1.0e-100},
      {"-1.2346-150", -1.2346e-150},
      {"1.2346E+00", 1.2346},
      {"2.5q1", 25.0},
      {"0.1", 0.1},
      {"-0", -0.0},
      {"1e-400", 0.0},
      {"4.9407-324", 4.9407e-324},
  };
  for (const c& k : cases) {
    auto r = file(std::string(k.text) + "\n");
    double v = -7;
    read_error err;
    ASSERT_TRUE(r.read({real("k1", v)}, &err)) << k.text << ": " << err.message();
    EXPECT_EQ(v, k.want) << k.text;
  }
}

// INF and NaN as the fields write them read back, sign included.
TEST_F(ValueReader, NonFiniteForms) {
  struct c {
    const char* text;
    bool nan;
    bool negative;
  };
  const c cases[] = {
      {"INF", false, false}, {"-INF", false, true}, {"+Infinity", false, false},
      {"NaN", true, false},  {"-NaN", true, true},  {"nan", true, false},
  };
  for (const c& k : cases) {
    auto r = file(std::string(k.text) + ", 2.0\n");
    double v = 0, w = 0;
    read_error err;
    ASSERT_TRUE(r.read({real("k1", v), real("k2", w)}, &err)) << k.text << ": " << err.message();
    EXPECT_EQ(std::isnan(v), k.nan) << k.text;
    EXPECT_EQ(std::isinf(v), !k.nan) << k.text;
    EXPECT_EQ(std::signbit(v), k.negative) << k.text;
    EXPECT_EQ(w, 2.0);
  }
}

TEST_F(ValueReader, IntegersAndTexts) {
  auto r = file("5 -3 +2 0 12\n"
                "  myrun  rest of line\n"
                "'my run' x\n"
                "'it''s'\n"
                "abcdefghijklmnop\n"
                "abc,def\n"
                "\"dq/text\"/\n"
                "   short          (10-Dec-26, 10:14:53)\n");
  int n[5] = {};
  read_error err;
  ASSERT_TRUE(r.read({integer("n1", n[0]), integer("n2", n[1]), integer("n3", n[2]),
                      integer("n4", n[3]), integer("n5", n[4])},
                     &err));
  EXPECT_EQ(n[0], 5);
  EXPECT_EQ(n[1], -3);
  EXPECT_EQ(n[2], 2);
  EXPECT_EQ(n[4], 12);
  const char* want[] = {"myrun     ", "my run    ", "it's      ", "abcdefghij",
                        "abc       ", "dq/text   ", "short     "};
  for (const char* w : want) {
    char name[10];
    ASSERT_TRUE(r.read({text("RUNNAME", name, 10)}, &err)) << err.message();
    EXPECT_EQ(std::string(name, 10), w);
  }
}

TEST_F(ValueReader, CrLfReadsLikeLf) {
  auto r = file("run\r\n1.5 2\r\n\r\n3\r\n");
  char name[4];
  double a = 0, b = 0, c = 0;
  read_error err;
  ASSERT_TRUE(r.read({text("RUNNAME", name, 4)}, &err));
  EXPECT_EQ(std::string(name, 4), "run ");
  ASSERT_TRUE(r.read({real("a", a), real("b", b), real("c", c)}, &err));
  EXPECT_EQ(c, 3);
}

// A UTF-8 byte-order mark opening the file is skipped; anywhere else, or cut
// short, its bytes are text like any other.
TEST_F(ValueReader, ByteOrderMarkOnlyAtTheVeryStartIsSkipped) {
  const std::string bom = "\xEF\xBB\xBF";
  const struct {
    std::string what, content, name;
  } cases[] = {
      {"before a name", bom + "ab 1\n2.5\n", "ab    "},
      {"before a quoted name", bom + "'a b'\n2.5\n", "a b   "},
      {"with CR LF", bom + "ab\r\n2.5\r\n", "ab    "},
      {"before a blank line", bom + "\n ab\n2.5\n", "ab    "},
      {"without a line end", bom + "ab", "ab    "},
      {"none", "ab\n2.5\n", "ab    "},
      {"after a blank", " " + bom + "ab\n2.5\n", bom + "ab "},
      {"twice", bom + bom + "ab\n2.5\n", bom + "ab "},
      {"cut short", bom.substr(0, 2) + "ab\n2.5\n", bom.substr(0, 2) + "ab  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto r = file(c.content);
    char name[6];
    read_error err;
    ASSERT_TRUE(r.read({text("RUNNAME", name, 6)}, &err)) << message(err);
    EXPECT_EQ(std::string(name, 6), c.name);
  }

  const struct {
    std::string what, content, message;
  } errors[] = {
      {"a mark alone is an empty file", bom,
       "VELMO67.INP line 1: RUNNAME: the file ends before this value"},
      {"on line 2 the mark is text", "ab\n" + bom + "2.5\n",
       "VELMO67.INP line 2: a: expected a real number, found '\\xef\\xbb\\xbf2.5'"},
  };
  for (const auto& c : errors) {
    SCOPED_TRACE(c.what);
    auto r = file(c.content);
    char name[6];
    double a = 0;
    read_error err;
    EXPECT_FALSE(r.read({text("RUNNAME", name, 6)}, &err) && r.read({real("a", a)}, &err));
    EXPECT_EQ(message(err), c.message);
  }
}

TEST_F(ValueReader, EchoLinesReadBack) {
  // Lines as the scaled fields write them, labels after the values.
  auto r = file("   ab           (10-Dec-26, 10:14:53)\n"
                " 1.0000E+00, 1.0000-100,-2.5000+120\n"
                "  \n"
                "  1.2346E+00                          **K60 !activation of NCX by Ca_cyt\n"
                "   1  **sliding window size in number of time steps\n");
  char name[12];
  double a, b, c, k60;
  int nsw = 0;
  read_error err;
  ASSERT_TRUE(r.read({text("RUNNAME", name, 12)}, &err));
  EXPECT_EQ(std::string(name, 12), "ab          ");
  ASSERT_TRUE(r.read({real("a", a), real("b", b), real("c", c)}, &err));
  EXPECT_EQ(b, 1.0e-100);
  EXPECT_EQ(c, -2.5e120);
  ASSERT_TRUE(r.read({real("k60", k60)}, &err));
  EXPECT_EQ(k60, 1.2346);
  ASSERT_TRUE(r.read({integer("NSW", nsw)}, &err));
  EXPECT_EQ(nsw, 1);
}

TEST_F(ValueReader, VeryLongLine) {
  std::string long_line = "1.5 " + std::string(100000, 'x') + "\n";
  std::string long_value = "0." + std::string(99990, '0') + "1e99995\n";  // 0.1e5
  auto r = file(long_line + long_value + std::string(100000, ' ') + "2.5\n");
  double a = 0, b = 0, c = 0;
  read_error err;
  ASSERT_TRUE(r.read({real("a", a)}, &err));
  ASSERT_TRUE(r.read({real("b", b)}, &err)) << err.message();
  ASSERT_TRUE(r.read({real("c", c)}, &err));
  EXPECT_EQ(a, 1.5);
  EXPECT_EQ(b, 1.0e4);
  EXPECT_EQ(c, 2.5);
}

// A line may hold max_line_length characters before its line end (LF or CR
// LF, or the end of the file); one more is an error of that line.
TEST_F(ValueReader, LinesAreBoundedAtTheirLimit) {
  const std::size_t limit = value_reader::max_line_length;
  const std::string full = "1.5 " + std::string(limit - 4, 'x');
  const struct {
    std::string what;
    std::string content;
    bool fits;
  } cases[] = {
      {"LF", "0\n" + full + "\n2.5\n", true},
      {"CR LF", "0\r\n" + full + "\r\n2.5\r\n", true},
      {"the last line", "0\n2.5\n" + full, true},
      {"line 1 after a byte-order mark", "\xEF\xBB\xBF" + full + "\n1.5\n2.5\n", true},
      {"one more, LF", "0\n" + full + "y\n2.5\n", false},
      {"one more, CR LF", "0\r\n" + full + "y\r\n2.5\r\n", false},
      {"one more, the last line", "0\n2.5\n" + full + "y", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto r = file(c.content);
    double v[3] = {};
    read_error err;
    ASSERT_TRUE(r.read({real("k0", v[0])}, &err));
    const bool ok = r.read({real("k1", v[1])}, &err) && r.read({real("k2", v[2])}, &err);
    EXPECT_EQ(ok, c.fits) << message(err);
    if (c.fits) {
      EXPECT_EQ(v[1] + v[2], 4.0);
    } else {
      EXPECT_EQ(err.line, c.what == "one more, the last line" ? 3 : 2);
      EXPECT_EQ(err.what, "the line is longer than 1048576 characters");
    }
  }
}

TEST_F(ValueReader, BadValuesAreErrorsNamingFileLineAndItem) {
  struct c {
    std::string content;
    bool want_int;
    const char* message;
  };
  const c cases[] = {
      {"abc\n", false, "VELMO67.INP line 2: k55: expected a real number, found 'abc'"},
      {"1.5\n", true, "VELMO67.INP line 2: k55: expected an integer, found '1.5'"},
      {"1e3\n", true, "VELMO67.INP line 2: k55: expected an integer, found '1e3'"},
      {"1e999\n", false, "VELMO67.INP line 2: k55: real number out of range, found '1e999'"},
      {"-1.0+400\n", false, "VELMO67.INP line 2: k55: real number out of range, found '-1.0+400'"},
      {"99999999999\n", true, "VELMO67.INP line 2: k55: integer out of range, found '99999999999'"},
      {std::string("1.0\0junk\n", 9), false,
       "VELMO67.INP line 2: k55: expected a real number, found '1.0\\x00junk'"},
      {"\x01\xff\xfe\n", false,
       "VELMO67.INP line 2: k55: expected a real number, found '\\x01\\xff\\xfe'"},
      {"0*5\n", false, "VELMO67.INP line 2: k55: bad repeat count, found '0*5'"},
      {"'abc\n", false, "VELMO67.INP line 2: k55: quoted text has no closing quote, found ''abc'"},
      {"'1.5'\n", false, "VELMO67.INP line 2: k55: expected a real number, found ''1.5''"},
      {"1.0e\n", false, "VELMO67.INP line 2: k55: expected a real number, found '1.0e'"},
      {"1.0e+\n", false, "VELMO67.INP line 2: k55: expected a real number, found '1.0e+'"},
      {"--1\n", false, "VELMO67.INP line 2: k55: expected a real number, found '--1'"},
      {"1..2\n", false, "VELMO67.INP line 2: k55: expected a real number, found '1..2'"},
      {".\n", false, "VELMO67.INP line 2: k55: expected a real number, found '.'"},
      {"e5\n", false, "VELMO67.INP line 2: k55: expected a real number, found 'e5'"},
      {"INFX\n", false, "VELMO67.INP line 2: k55: expected a real number, found 'INFX'"},
      {"NaN1\n", false, "VELMO67.INP line 2: k55: expected a real number, found 'NaN1'"},
      {"'NaN'\n", false, "VELMO67.INP line 2: k55: expected a real number, found ''NaN''"},
      {"INF\n", true, "VELMO67.INP line 2: k55: expected an integer, found 'INF'"},
      {"**********\n", true, "VELMO67.INP line 2: k55: expected an integer, found '**********'"},
      {"\n\n!note only\n", false, "VELMO67.INP line 4: k55: expected a real number, found '!note'"},
  };
  for (const c& k : cases) {
    auto r = file("1\n" + k.content);
    double first = 0, v = 0;
    int n = 0;
    read_error err;
    ASSERT_TRUE(r.read({real("k54", first)}, &err));
    const bool ok = k.want_int ? r.read({integer("k55", n)}, &err) : r.read({real("k55", v)}, &err);
    EXPECT_FALSE(ok) << k.message;
    EXPECT_EQ(message(err), k.message);
    // The reader is spent: it repeats the error rather than reading on.
    read_error again;
    EXPECT_FALSE(r.read({real("k56", v)}, &again));
    EXPECT_EQ(message(again), k.message);
  }
}

TEST_F(ValueReader, ShortFileNamesTheMissingValue) {
  auto r = file("1 2 3\n4 5 6\n7 8\n");
  double eps, sig, lam;
  read_error err;
  ASSERT_TRUE(
      r.read({real("BAND(1) epsilon", eps), real("BAND(1) sigma", sig), real("BAND(1) lamda", lam)},
             &err));
  ASSERT_TRUE(
      r.read({real("BAND(2) epsilon", eps), real("BAND(2) sigma", sig), real("BAND(2) lamda", lam)},
             &err));
  EXPECT_FALSE(
      r.read({real("BAND(3) epsilon", eps), real("BAND(3) sigma", sig), real("BAND(3) lamda", lam)},
             &err));
  EXPECT_EQ(message(err), "VELMO67.INP line 4: BAND(3) lamda: the file ends before this value");
  EXPECT_EQ(sig, 8);  // the values before the end were taken

  auto empty = file("");
  char name[10];
  EXPECT_FALSE(empty.read({text("RUNNAME", name, 10)}, &err));
  EXPECT_EQ(message(err), "VELMO67.INP line 1: RUNNAME: the file ends before this value");
}

TEST_F(ValueReader, MissingOrUnreadableFileReportedAtFirstStatement) {
  value_reader missing((dir_ / "NOPE.INP").string());
  char name[10];
  read_error err;
  EXPECT_FALSE(missing.read({text("RUNNAME", name, 10)}, &err));
  EXPECT_EQ(message(err),
            "NOPE.INP line 1: RUNNAME: cannot open the file (No such file or directory)");

  value_reader directory(dir_.string());
  EXPECT_FALSE(directory.read({text("RUNNAME", name, 10)}, &err));
  EXPECT_NE(err.what.find("cannot open the file (Is a directory)"), std::string::npos) << err.what;
}

TEST_F(ValueReader, ControlCharacterInTextIsAnError) {
  auto r = file(std::string("ab\x07"
                            "cd\n"));
  char name[10];
  read_error err;
  EXPECT_FALSE(r.read({text("RUNNAME", name, 10)}, &err));
  EXPECT_EQ(message(err),
            "VELMO67.INP line 1: RUNNAME: text holds a control character, found 'ab\\x07cd'");
}

TEST_F(ValueReader, RandomBytesGiveValuesOrAClearError) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    std::string junk(rng() % 400, '\0');
    for (char& c : junk) {
      const unsigned pick = rng() % 8;
      c = pick == 0 ? '\n' : pick == 1 ? ',' : pick == 2 ? ' ' : static_cast<char>(rng() % 256);
    }
    auto r = file(junk);
    double a = 0, b = 0;
    int n = 0;
    char name[8];
    read_error err;
    for (int k = 0; k < 20; ++k) {
      const bool ok = k % 3 == 0   ? r.read({text("RUNNAME", name, 8)}, &err)
                      : k % 3 == 1 ? r.read({real("a", a), real("b", b)}, &err)
                                   : r.read({integer("n", n)}, &err);
      if (!ok) {
        EXPECT_EQ(message(err).rfind("VELMO67.INP line ", 0), 0u) << message(err);
        EXPECT_FALSE(err.item.empty());
        EXPECT_FALSE(err.what.empty());
        break;
      }
    }
  }
}

}  // namespace
