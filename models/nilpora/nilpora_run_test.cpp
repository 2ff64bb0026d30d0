// End-to-end runs of the nilpora program in scratch directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "integrator/message_texts.h"
#include "models/nilpora/test_facts.h"
#include "testing/program_run.h"
#include "testing/run_name_rule.h"
#include "textio/units.h"

namespace {

using testing_support::read_file;
using testing_support::run_result;
using testing_support::scratch_dir;
using testing_support::split_lines;

// Every line, the last included, ends with CR LF, and no CR stands alone.
void expect_crlf(const std::string& text, const std::string& what) {
  if (text.empty()) return;
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << what << ": last line";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << what << ": bare LF at byte " << i;
    } else if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << what << ": bare CR at byte " << i;
    }
  }
}

// Lines of a CR LF text, without their line ends.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines = split_lines(text);
  for (auto& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

struct row {
  double t, y1, y2, vmax;
};

// A data row is " t,Y1,Y2,VMAX", each value a 12-character 1PE12.5 field
// (NaN and INF right-justified).
std::vector<row> parse_rows(const std::string& text) {
  static const std::regex field(" *-?([0-9]\\.[0-9]{5}E[-+][0-9]{2}|NaN|INF)");
  std::vector<row> rows;
  for (const std::string& l : lines_of(text)) {
    EXPECT_EQ(l.size(), 52u) << "row '" << l << "'";
    if (l.size() != 52u) continue;
    EXPECT_EQ(l[0], ' ');
    double v[4];
    for (int k = 0; k < 4; ++k) {
      std::string f = l.substr(1 + 13 * k, 12);
      EXPECT_TRUE(std::regex_match(f, field)) << "field '" << f << "' of '" << l << "'";
      if (k < 3) {
        EXPECT_EQ(l[13 + 13 * k], ',') << l;
      }
      v[k] = std::strtod(f.c_str(), nullptr);
    }
    rows.push_back({v[0], v[1], v[2], v[3]});
  }
  return rows;
}

// Six significant digits: half a unit of the last digit, relative.
constexpr double row_precision = 5e-6;

void expect_close(double got, double want, double rel, const std::string& what) {
  EXPECT_LE(std::fabs(got - want), rel * std::fabs(want) + 1e-300)
      << what << ": " << got << " vs " << want;
}

struct finished_run {
  run_result r;
  std::vector<std::string> files;
  std::map<std::string, std::string> text;  // every file the run left
};

finished_run run_in(const scratch_dir& dir) {
  finished_run f;
  f.r = dir.run("nilpora");
  f.files = dir.files();
  for (const auto& name : f.files) f.text[name] = dir.read(name);
  return f;
}

void expect_all_crlf(const finished_run& f) {
  expect_crlf(f.r.out, "standard output");
  expect_crlf(f.r.err, "standard error");
  for (const auto& [name, text] : f.text)
    if (name != "NILPORA.INP") expect_crlf(text, name);
}

std::string input(const std::string& run_name, const std::string& times, const std::string& vmax,
                  const std::string& km, const std::string& kact, const std::string& pools) {
  return run_name + "\n" + times + "\n" + vmax + "\n" + km + "\n" + kact + "\n" + pools + "\n";
}

const std::string date_re = "[0-3][0-9]-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-[0-9]{2}";
const std::string time_re = "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]";

void expect_lines_match(const std::vector<std::string>& got,
                        const std::vector<std::string>& patterns, const std::string& what) {
  ASSERT_EQ(got.size(), patterns.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i)
    EXPECT_TRUE(std::regex_match(got[i], std::regex(patterns[i])))
        << what << " line " << i + 1 << ": '" << got[i] << "' !~ '" << patterns[i] << "'";
}

// The shipped example parameter file (from the source tree).
std::string example_input() {
  namespace fs = std::filesystem;
  const char* root = std::getenv("CALCIUM_SOURCE_DIR");
  const fs::path file =
      root ? fs::path(root) / "examples/nilpora/NILPORA.INP"
           : fs::path(__FILE__).parent_path() / "../../examples/nilpora/NILPORA.INP";
  std::string text = read_file(file);
  EXPECT_FALSE(text.empty()) << "no example at " << file;
  return text;
}

// The example's run name as nilpora takes it (cut or padded to its field),
// and the line it writes on standard error when it cuts it.
testing_support::taken_run_name example_run_name() {
  const std::string text = example_input();
  return testing_support::take_run_name(nilpora::test_facts(), text.substr(0, text.find('\n')));
}

// The name of the example run's file with `suffix` ("tmp" aside).
std::string example_file(const std::string& suffix) {
  return textio::trimmed_file_name(example_run_name().padded + suffix);
}

// `text` matched literally inside a regular expression.
std::string literally(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// The example run: the whole report, the run information and the rows.
TEST(NilporaRun, ExampleWritesReportRunInformationAndRows) {
  scratch_dir dir;
  dir.write("NILPORA.INP", example_input());
  finished_run f = run_in(dir);
  ASSERT_EQ(f.r.exit_status, 0) << f.r.err;
  const std::string runname = example_run_name().padded;
  const std::string data = example_file(".txt"),
                    summary_file = example_file("-terminal-output.txt");
  EXPECT_EQ(f.r.err, example_run_name().notice);
  std::vector<std::string> files = {"NILPORA.INP", data, summary_file, "tmp"};
  std::sort(files.begin(), files.end());
  EXPECT_EQ(f.files, files);
  expect_all_crlf(f);

  std::vector<row> rows = parse_rows(f.text[data]);
  ASSERT_EQ(rows.size(), 41u);  // 0, 0.5, ..., 20
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const row& r = rows[k];
    EXPECT_EQ(r.t, 0.5 * static_cast<double>(k));
    expect_close(r.vmax, (1.0 - std::exp(-0.2 * r.t)) * 1.0, row_precision, "VMAX column");
    // The leak only moves calcium between the pools.
    EXPECT_NEAR(r.y1 + r.y2, 1.0, 2 * row_precision) << "row " << k;
    if (k > 0) {
      EXPECT_LT(r.y1, rows[k - 1].y1) << "row " << k;
    }
  }
  EXPECT_EQ(rows[0].y1, 1.0);
  EXPECT_EQ(rows[0].y2, 0.0);
  EXPECT_EQ(rows[0].vmax, 0.0);

  const std::string run_header =
      " Run " + literally(runname) + " \\(" + date_re + ", " + time_re + "\\)";
  const std::string final_conc =
      " ( |-)[0-9]\\.[0-9]{3}E[-+][0-9]{2},( |-)[0-9]\\.[0-9]{3}E[-+][0-9]{2}";
  const std::vector<std::string> head = {"  ",
                                         run_header,
                                         " ================================= ",
                                         "  Initial concentrations:",
                                         "  1\\.000E\\+00, 0\\.000E\\+00",
                                         "  ",
                                         " Vmax\\.{20}  1\\.0000E\\+00",
                                         "  ",
                                         "  Final concentrations:",
                                         final_conc};
  const std::vector<std::string> tail = {" Execution of " + literally(runname) +
                                             " ended at: " + time_re,
                                         " Date: " + date_re,
                                         " ======================================= ", "  "};
  std::vector<std::string> console = head, summary = head;
  console.insert(console.end(), {"  ", "  "});
  summary.insert(summary.end(), {"  "});
  console.insert(console.end(), tail.begin(), tail.end());
  summary.insert(summary.end(), tail.begin(), tail.end());
  expect_lines_match(lines_of(f.r.out), console, "console");
  expect_lines_match(lines_of(f.text[summary_file]), summary, "summary");

  // The final concentrations are the last row's pools, to four digits.
  std::vector<std::string> out = lines_of(f.r.out);
  ASSERT_GE(out.size(), 10u);
  const std::string& fin = out[9];
  expect_close(std::strtod(fin.substr(1, 10).c_str(), nullptr), rows.back().y1, 5e-4, "final Y(1)");
  expect_close(std::strtod(fin.substr(12, 10).c_str(), nullptr), rows.back().y2, 5e-4,
               "final Y(2)");

  expect_lines_match(lines_of(f.text["tmp"]),
                     {" " + literally(runname), " \\(" + date_re + ", " + time_re + "\\)"}, "tmp");
}

// Exact leak for a constant rate V: K ln(y0/y) + (y0 - y) = V t.
double exact_source_pool(double y0, double V, double K, double t) {
  // g(y) = K ln(y0/y) + (y0 - y) - V t falls with y; bisect on (0, y0].
  double lo = 0.0, hi = y0;
  for (int it = 0; it < 200; ++it) {
    const double mid = 0.5 * (lo + hi);
    const double g = K * std::log(y0 / mid) + (y0 - mid) - V * t;
    (g > 0 ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// With a fast rise (KACT large) VMAX is VMAX0 from the first interval on, and
// the pools follow the closed-form solution within the integrator's tolerance.
TEST(NilporaRun, PoolsFollowTheExactLeakForAConstantRate) {
  scratch_dir dir;
  const double y0 = 2.0, y20 = 0.5, V = 1.5, K = 0.8;
  dir.write("NILPORA.INP", input("exact-leak", "0.25 0.25 4.0", "1.5", "0.8", "1.0E6", "2.0 0.5"));
  finished_run f = run_in(dir);
  ASSERT_EQ(f.r.exit_status, 0) << f.r.err;
  std::vector<row> rows = parse_rows(f.text["exact-leak.txt"]);
  ASSERT_EQ(rows.size(), 16u);
  // The error weights of both pools enter one norm and Y(1) + Y(2) is
  // conserved, so the total is the scale of the error control: the pools stay
  // within RTOL (1e-4) of that total, plus the six digits of the row.
  const double total = y0 + y20;
  const double bound = 1e-4 * total;
  for (const row& r : rows) {
    EXPECT_EQ(r.vmax, V);
    const double y = exact_source_pool(y0, V, K, r.t);
    EXPECT_NEAR(r.y1, y, bound + row_precision * y) << "Y(1) at t=" << r.t;
    EXPECT_NEAR(r.y2, total - y, bound + row_precision * (total - y)) << "Y(2) at t=" << r.t;
  }
}

// Output-loop edge cases; every row must still conserve the total.
TEST(NilporaRun, EdgeCasesOfTheOutputLoop) {
  struct {
    const char* name;
    std::string times, kact;
    std::vector<double> row_times;
  } cases[] = {
      // The first call has TOUT = T: the first row is the initial state.
      {"first output time 0", "0 1 3", "0.5", {0, 1, 2, 3}},
      // One output step even though the first time is already past TFINAL.
      {"TFINAL below first output time", "2 1 1", "0.5", {2}},
      // TOUT landing exactly on TFINAL is still an output step.
      {"TOUT lands on TFINAL", "0.25 0.25 1.0", "0.5", {0.25, 0.5, 0.75, 1.0}},
      // No rise of VMAX: nothing leaks.
      {"KACT 0", "0.5 0.5 2", "0", {0.5, 1.0, 1.5, 2.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    scratch_dir dir;
    dir.write("NILPORA.INP", input("edge", c.times, "2.0", "0.5", c.kact, "1.0 0.25"));
    finished_run f = run_in(dir);
    ASSERT_EQ(f.r.exit_status, 0) << f.r.err;
    // A short run name stays blank-padded to ten characters inside the names.
    EXPECT_EQ(f.files, (std::vector<std::string>{"NILPORA.INP", "edge      -terminal-output.txt",
                                                 "edge      .txt", "tmp"}));
    expect_all_crlf(f);
    std::vector<row> rows = parse_rows(f.text["edge      .txt"]);
    ASSERT_EQ(rows.size(), c.row_times.size());
    const double kact = std::strtod(c.kact.c_str(), nullptr);
    bool leaked = false;  // VMAX was non-zero over some interval so far
    for (std::size_t k = 0; k < rows.size(); ++k) {
      EXPECT_EQ(rows[k].t, c.row_times[k]);
      expect_close(rows[k].vmax, (1.0 - std::exp(-(kact * rows[k].t))) * 2.0, row_precision,
                   "VMAX");
      EXPECT_NEAR(rows[k].y1 + rows[k].y2, 1.25, 2 * row_precision);
      leaked = leaked || rows[k].vmax != 0.0;
      if (leaked) {
        EXPECT_LT(rows[k].y1, 1.0) << "row " << k;
      } else {
        EXPECT_EQ(rows[k].y1, 1.0) << "row " << k;
        EXPECT_EQ(rows[k].y2, 0.25) << "row " << k;
      }
    }
  }
}

// DTOUT = 0 from output time 0: four rows of the initial state, then the
// integrator's repeated-call stop, its two messages on standard output.
TEST(NilporaRun, ZeroIntervalFromTimeZeroEndsThroughTheIntegrator) {
  scratch_dir dir;
  dir.write("NILPORA.INP", input("zero-steps", "0 0 5", "1", "1", "1", "3 1"));
  finished_run f = run_in(dir);
  EXPECT_EQ(f.r.exit_status, 1);
  expect_all_crlf(f);
  std::vector<row> rows = parse_rows(f.text["zero-steps.txt"]);
  ASSERT_EQ(rows.size(), 4u);
  for (const row& r : rows) {
    EXPECT_EQ(r.t, 0.0);
    EXPECT_EQ(r.y1, 3.0);
    EXPECT_EQ(r.y2, 1.0);
    EXPECT_EQ(r.vmax, 0.0);
  }
  const std::string& out = f.r.out;
  const auto repeated = out.find(integrator::messages::repeated_start.text);
  const auto aborted = out.find(integrator::messages::run_aborted.text);
  ASSERT_NE(repeated, std::string::npos) << out;
  ASSERT_NE(aborted, std::string::npos) << out;
  EXPECT_LT(repeated, aborted);
  EXPECT_GT(repeated, out.find(" Vmax")) << "messages come after the report header";
  EXPECT_EQ(out.find("ERROR HALT"), std::string::npos);
  EXPECT_EQ(out.find("Final concentrations"), std::string::npos);
  // The summary got its header before the stop (flushed at the stop).
  EXPECT_NE(f.text["zero-steps-terminal-output.txt"].find(" Vmax"), std::string::npos);
}

// A failing integration (KM = -Y(1) makes the first rate infinite): the row of
// the failed step, the integrator's message, then the ERROR HALT on the
// console; nothing more is written, every file keeps what was written.
TEST(NilporaRun, IntegratorFailureWritesErrorHaltAndStops) {
  scratch_dir dir;
  dir.write("NILPORA.INP", input("halt-run-1", "1 1 5", "1", "-1", "1", "1 1"));
  finished_run f = run_in(dir);
  EXPECT_EQ(f.r.exit_status, 1);
  // One line says what ended the run and where the integrator's messages are.
  EXPECT_TRUE(
      std::regex_match(f.r.err, std::regex("the run stopped at ERROR HALT\\.\\. ISTATE = -[1-6]; "
                                           "the integrator's messages are on standard output\r\n")))
      << f.r.err;
  expect_all_crlf(f);
  std::vector<row> rows = parse_rows(f.text["halt-run-1.txt"]);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].t, 1.0);
  expect_close(rows[0].vmax, 1.0 - std::exp(-1.0), row_precision, "VMAX");

  std::vector<std::string> out = lines_of(f.r.out);
  ASSERT_GE(out.size(), 5u);
  EXPECT_TRUE(std::regex_match(out.back(), std::regex(" ERROR HALT\\.\\. ISTATE = -[1-6]")))
      << out.back();
  EXPECT_EQ(out[out.size() - 2], "");
  EXPECT_EQ(out[out.size() - 3], "");
  EXPECT_EQ(out[out.size() - 4], "");
  const auto message = f.r.out.find(integrator::messages::corrector_failed.text);
  EXPECT_NE(message, std::string::npos) << f.r.out;
  EXPECT_LT(message, f.r.out.find("ERROR HALT"));
  EXPECT_EQ(f.r.out.find("Final concentrations"), std::string::npos);

  const std::string summary = f.text["halt-run-1-terminal-output.txt"];
  EXPECT_NE(summary.find(" Vmax"), std::string::npos);
  EXPECT_EQ(summary.find("ERROR HALT"), std::string::npos) << "the halt goes to the console only";
  EXPECT_EQ(summary.find("Final concentrations"), std::string::npos);
  EXPECT_EQ(lines_of(f.text["tmp"]).size(), 2u);
}

// A parameter file that cannot be used stops the run before any result file
// exists: one line on standard error naming the file, the line and the item.
TEST(NilporaRun, BadParameterFileStopsBeforeAnyResultFile) {
  const std::string good_tail = "1.0\n0.5\n0.2\n1.0 0.0\n";
  struct {
    const char* name;
    bool write_input;
    std::string inp;
    std::string line, item;
  } cases[] = {
      {"missing file", false, "", "line 1", "run name"},
      {"short file", true, "short\n0 1 2\n1.0\n0.5\n0.2\n", "", "Y(1)"},
      {"bad value", true, "badval\n0 1 2\n1.0\nabc\n0.2\n1 0\n", "line 4", "KM"},
      {"too few numbers on the last line", true, "few\n0 1 2\n1.0\n0.5\n0.2\n1.0\n", "", "Y(2)"},
      {"zero interval after time 0", true, "zero\n1.0 0 5\n" + good_tail, "line 2", "DTOUT"},
      {"negative interval", true, "neg\n0 -0.5 5\n" + good_tail, "line 2", "DTOUT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    scratch_dir dir;
    if (c.write_input) dir.write("NILPORA.INP", c.inp);
    finished_run f = run_in(dir);
    EXPECT_EQ(f.r.exit_status, 2);
    EXPECT_EQ(f.r.out, "");
    expect_crlf(f.r.err, "standard error");
    EXPECT_EQ(lines_of(f.r.err).size(), 1u) << f.r.err;
    EXPECT_NE(f.r.err.find("NILPORA.INP"), std::string::npos) << f.r.err;
    EXPECT_NE(f.r.err.find(c.line), std::string::npos) << f.r.err;
    EXPECT_NE(f.r.err.find(c.item), std::string::npos) << f.r.err;
    std::vector<std::string> left;
    if (c.write_input) left.push_back("NILPORA.INP");
    EXPECT_EQ(f.files, left);
  }
}

// "1*" as the last item of the pools line is a null value: Y(2) keeps the 0
// it has before reading, and the run is the run with "1.0 0.0".
TEST(NilporaRun, RepeatNullAtTheEndOfThePoolsLine) {
  const std::string head[] = {"null", "0 0.5 2", "1.5", "0.5", "0.4"};
  const auto text = [&](const std::string& pools) {
    std::string t;
    for (const std::string& l : head) t += l + "\r\n";
    return t + pools + "\r\n";
  };
  scratch_dir with_null, with_zero;
  with_null.write("NILPORA.INP", text("1.0 1*"));
  with_zero.write("NILPORA.INP", text("1.0 0.0"));
  const finished_run a = run_in(with_null), b = run_in(with_zero);
  ASSERT_EQ(a.r.exit_status, 0) << a.r.err;
  ASSERT_EQ(b.r.exit_status, 0) << b.r.err;
  EXPECT_EQ(a.r.err, "");
  EXPECT_EQ(a.files, b.files);
  ASSERT_EQ(a.text.count("null      .txt"), 1u);
  EXPECT_EQ(a.text.at("null      .txt"), b.text.at("null      .txt"));
  const std::vector<std::string> out = lines_of(a.r.out);
  ASSERT_GE(out.size(), 5u);
  EXPECT_EQ(out[4], "  1.000E+00, 0.000E+00");
}

// A result file that cannot be created stops the run before anything is
// written: the files opened before it in the group are removed again.
TEST(NilporaRun, ResultFileThatCannotBeCreatedStopsBeforeWriting) {
  scratch_dir dir;
  dir.write("NILPORA.INP", example_input());
  const std::string blocked = example_file("-terminal-output.txt");
  std::filesystem::create_directory(dir / blocked);
  finished_run f = run_in(dir);
  EXPECT_EQ(f.r.exit_status, 2);
  EXPECT_EQ(f.r.out, "");
  expect_crlf(f.r.err, "standard error");
  const std::string notice = example_run_name().notice;
  ASSERT_EQ(f.r.err.substr(0, notice.size()), notice);
  const std::string err = f.r.err.substr(notice.size());
  EXPECT_EQ(lines_of(err).size(), 1u) << f.r.err;
  EXPECT_NE(err.find(blocked), std::string::npos) << f.r.err;
  EXPECT_FALSE(dir.exists(example_file(".txt")));
  EXPECT_FALSE(dir.exists("tmp"));
}

}  // namespace
