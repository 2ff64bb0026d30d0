// Parameter files that a program cannot use: each stops the program in the
// reader with exit status 2, nothing on standard output and one line on
// standard error naming the file, the line and the item, and leaves the
// result files of an earlier run and "tmp" exactly as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/bad_input/bad_input_support.h"

namespace bad_input {
namespace {

// Bytes that are neither separators nor line ends, so they stay one value;
// the first is a control byte, so no prefix of them reads as a number.
std::string junk_value(std::size_t n) {
  std::string s;
  std::uint32_t x = 12345;
  s.push_back('\x01');
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    const char c = static_cast<char>(x >> 24);
    if (c == '\n' || c == ' ' || c == '\t' || c == ',' || c == '/' || c == '\'' || c == '"')
      continue;
    s.push_back(c);
  }
  return s;
}

// Any bytes at all, line ends included.
std::string junk_file(std::size_t n) {
  std::string s;
  std::uint32_t x = 987654321;
  while (s.size() < n) {
    x = x * 1664525u + 1013904223u;
    s.push_back(static_cast<char>(x >> 24));
  }
  return s;
}

class BadInput : public testing::TestWithParam<program_info> {
 protected:
  const program_info& p() const { return GetParam(); }

  // Runs the program on `text` (no parameter file when null) in a directory
  // holding the result files of an earlier run of the example, and checks
  // that they are left alone.
  run_result run_on(const std::string* text) {
    scratch_dir dir;
    const parameter_text example(p());
    sentinels kept(dir, result_files(p(), example.padded_run_name(p())));
    std::vector<std::string> others;
    if (text) {
      dir.write(p().parameter_file, *text);
      others.push_back(p().parameter_file);
    }
    const run_result r = dir.run(p().name);
    kept.expect_untouched(others);
    if (text) {
      EXPECT_EQ(dir.read(p().parameter_file), *text);
    }
    return r;
  }
};

TEST_P(BadInput, MissingParameterFile) {
  const run_result r = run_on(nullptr);
  expect_reader_stop(p(), r, 0);
}

TEST_P(BadInput, ParameterFileThatIsADirectory) {
  scratch_dir dir;
  std::filesystem::create_directory(dir / p().parameter_file);
  sentinels kept(dir, {"tmp"});
  const run_result r = dir.run(p().name);
  expect_reader_stop(p(), r, 0);
  kept.expect_untouched({});
}

TEST_P(BadInput, EmptyFile) {
  const std::string empty;
  expect_reader_stop(p(), run_on(&empty), 1);
}

// The example cut after each of its lines: the first line missing is named.
TEST_P(BadInput, EveryCutOfTheExample) {
  const parameter_text example(p());
  ASSERT_GE(example.size(), p().lines);
  for (int kept_lines = 1; kept_lines < p().lines; ++kept_lines) {
    SCOPED_TRACE("cut after line " + std::to_string(kept_lines));
    const std::string text = example.head(kept_lines);
    expect_reader_stop(p(), run_on(&text), kept_lines + 1);
    if (HasFailure()) break;  // one cut's report is enough
  }
}

struct bad_file {
  std::string what;
  std::function<void(parameter_text&)> edit;  // null: the whole file is `whole`
  std::string whole;
  int line;          // the line the error must name; 0: not checked
  std::string item;  // the item it must name; empty: any
};

std::vector<bad_file> malformed_files(const program_info& p) {
  const int v = p.value_line;
  auto value = [v](std::string text) {
    return [v, text](parameter_text& t) { t.set_value(v, 0, text); };
  };
  std::vector<bad_file> cases = {
      {"a word for a real", value("abc"), "", v, ""},
      {"a real beyond double range", value("1e999"), "", v, ""},
      {"a negative real beyond double range", value("-1.0D+999"), "", v, ""},
      {"a line of 100,000 characters",
       [v](parameter_text& t) { t.set(v, std::string(100000, 'x')); }, "", v, ""},
      {"a number of 100,000 digits", [v](parameter_text& t) { t.set(v, std::string(100000, '9')); },
       "", v, ""},
      {"NUL bytes after a value", value(std::string("1.0\0\0\0", 6)), "", v, ""},
      {"binary junk for a value", value(junk_value(200)), "", v, ""},
      {"a NUL byte in the run name",
       [](parameter_text& t) { t.set_value(1, 0, std::string("ab\0cd", 5)); }, "", 1, ""},
      {"a file of NUL bytes", nullptr, std::string(1000, '\0'), 1, ""},
      {"a file of binary junk", nullptr, junk_file(4096), 0, ""},
  };
  if (p.integer_line > 0)
    cases.push_back({"a real for an integer",
                     [&p](parameter_text& t) { t.set_value(p.integer_line, 0, "2.5"); }, "",
                     p.integer_line, ""});
  return cases;
}

TEST_P(BadInput, MalformedValues) {
  for (const bad_file& c : malformed_files(p())) {
    SCOPED_TRACE(c.what);
    std::string text = c.whole;
    if (c.edit) {
      parameter_text t(p());
      c.edit(t);
      text = t.text();
    }
    expect_reader_stop(p(), run_on(&text), c.line, c.item);
  }
}

// Values the reader takes but no run can use: a window that the
// 1000-sample buffer cannot hold, and an output interval that never reaches
// the phase end.
TEST_P(BadInput, UnusableControlValues) {
  std::vector<bad_file> cases = {
      {"a negative output interval", [](parameter_text& t) { t.set_value(2, 1, "-0.1"); }, "", 2,
       "DTOUT"},
  };
  const int w = p().window_line;
  if (w > 0) {
    cases.push_back(
        {"a window of 0 steps", [w](parameter_text& t) { t.set_value(w, 0, "0"); }, "", w, "NSW"});
    cases.push_back({"a window of 1001 steps",
                     [w](parameter_text& t) { t.set_value(w, 0, "1001"); }, "", w, "NSW"});
  }
  for (const bad_file& c : cases) {
    SCOPED_TRACE(c.what);
    parameter_text t(p());
    c.edit(t);
    const std::string text = t.text();
    expect_reader_stop(p(), run_on(&text), c.line, c.item);
  }
}

// A NaN or infinite time (the time column's start, the output interval, a
// phase duration, nilpora's interval) never lets a phase or the output loop
// end on time: each is an error of the time line that names its item,
// whichever form the reader takes it in.
TEST_P(BadInput, NonFiniteTimes) {
  ASSERT_FALSE(p().time_items.empty());
  for (std::size_t i = 0; i < p().time_items.size(); ++i) {
    for (const std::string value : {"NaN", "-nan", "Inf", "-Infinity"}) {
      SCOPED_TRACE(p().time_items[i] + " = " + value);
      parameter_text t(p());
      t.set_value(2, static_cast<int>(i), value);
      const std::string text = t.text();
      const run_result r = run_on(&text);
      expect_reader_stop(p(), r, 2, p().time_items[i]);
      EXPECT_NE(r.err.find("must be a finite number"), std::string::npos) << r.err;
    }
  }
}

// A NaN rate constant is still taken: the run ends at the integrator's
// ERROR HALT, as it always has.
TEST_P(BadInput, NonFiniteRateConstantIsTaken) {
  scratch_dir dir;
  parameter_text t(p());
  t.set_value(p().value_line, 0, "NaN");
  dir.write(p().parameter_file, t.text());
  const run_result r = dir.run(p().name);
  EXPECT_EQ(r.exit_status, 1) << r.err;
  EXPECT_NE(r.out.find("ERROR HALT.. ISTATE ="), std::string::npos);
}

// The error line ends like every other line the program writes.
TEST_P(BadInput, ErrorLineEndsWithTheProgramsLineEnd) {
  const std::string empty;
  const run_result r = run_on(&empty);
  ASSERT_GE(r.err.size(), p().line_end.size());
  EXPECT_EQ(r.err.substr(r.err.size() - p().line_end.size()), p().line_end);
  if (p().line_end == "\n") {
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, BadInput, testing::ValuesIn(programs()),
                         [](const testing::TestParamInfo<program_info>& i) {
                           return i.param.name;
                         });

}  // namespace
}  // namespace bad_input
