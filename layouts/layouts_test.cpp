// The legends of calcium-layouts against what the programs write and read.
// Every golden case is run once: each file the run leaves is a file of the
// program's legend, and each line of it has the legend's fields (rows: the
// documented number of fields of the documented width; "tmp": one line a
// record; the end-of-phase concentration lines of the console and the
// summary file: four values and the documented trailer). Each value of a
// parameter-file legend, spoilt in the program's example, is what the
// program's reader then names, on the legend's line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "layouts/json.h"
#include "layouts/programs.h"
#include "testing/program_run.h"

namespace layouts {
namespace {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::scratch_dir;

// The lines of `text` without their line ends; false when a line does not
// end with the program's line end.
bool split(const std::string& text, textio::line_end end, std::vector<std::string>* lines) {
  lines->clear();
  for (std::string& l : testing_support::split_lines(text)) {
    const bool cr = !l.empty() && l.back() == '\r';
    if (cr != (end == textio::line_end::crlf)) return false;
    if (cr) l.pop_back();
    lines->push_back(std::move(l));
  }
  return text.empty() || text.back() == '\n';
}

// A row of `n` fields of `width`: one blank, then the fields separated by
// commas, each holding one value.
bool is_row(const std::string& line, std::size_t n, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  if (line.size() != 1 + n * w + (n - 1) || line[0] != ' ') return false;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t at = 1 + i * (w + 1);
    if (i > 0 && line[at - 1] != ',') return false;
    const std::string field = line.substr(at, w);
    if (field.find_first_not_of(' ') == std::string::npos || field.find(',') != std::string::npos)
      return false;
  }
  return true;
}

bool is_integrator_message(const std::string& line) {
  return line.rfind(" INTEG--", 0) == 0 || line.rfind(" INTRP--", 0) == 0 ||
         (line.rfind("      ", 0) == 0 && line.find_first_not_of(' ') != std::string::npos);
}

bool is_blank(const std::string& line) {
  return !line.empty() && line.find_first_not_of(' ') == std::string::npos;
}

// Checks every end-of-phase concentration block of a report.
void check_concentration_lines(const calcium::program_doc& p,
                               const std::vector<std::string>& report, const std::string& where) {
  int blocks = 0;
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (report[i].find("concentrations at end of phase") == std::string::npos) continue;
    ++blocks;
    for (std::size_t j = 0; j < p.end_of_phase_lines.size(); ++j) {
      ASSERT_LT(i + 1 + j, report.size()) << where;
      const std::string& l = report[i + 1 + j];
      const std::string& trailer = p.end_of_phase_lines[j].trailer;
      SCOPED_TRACE(where + ": " + l);
      ASSERT_EQ(l.size(), 1 + 4 * 12 + 3 + 26u);
      EXPECT_TRUE(is_row(l.substr(0, 1 + 4 * 12 + 3), 4, 12));
      EXPECT_EQ(l.substr(l.size() - 26), std::string(26 - trailer.size(), ' ') + trailer);
      EXPECT_EQ(p.end_of_phase_lines[j].values.size(), 4u);
    }
  }
  EXPECT_GT(blocks, 0) << where << " has no end-of-phase concentration lines";
}

void check_file(const calcium::program_doc& p, const calcium::file_doc& f,
                const std::vector<std::string>& lines, const std::string& name) {
  SCOPED_TRACE(p.program + ": " + name);
  switch (f.kind) {
    case calcium::file_kind::rows:
      for (const std::string& l : lines) {
        if (f.integrator_messages && is_integrator_message(l)) continue;
        EXPECT_TRUE(is_row(l, f.fields.size(), f.width))
            << "not a row of " << f.fields.size() << " fields: '" << l << "'";
      }
      break;
    case calcium::file_kind::spectrum: {
      ASSERT_EQ(lines.size(), 6u * 602u);
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % 602 == 601)
          EXPECT_TRUE(is_blank(lines[i])) << lines[i];
        else
          EXPECT_TRUE(is_row(lines[i], f.fields.size(), f.width)) << lines[i];
      }
      break;
    }
    case calcium::file_kind::records:
      EXPECT_EQ(lines.size(), f.fields.size());
      break;
    case calcium::file_kind::report:
      if (!p.end_of_phase_lines.empty()) check_concentration_lines(p, lines, name);
      break;
    case calcium::file_kind::parameter_file:
      EXPECT_FALSE(lines.empty());
      break;
  }
}

struct golden_case {
  std::string folder;
  const program_entry* program;
  std::string parameter_file;
};

void PrintTo(const golden_case& c, std::ostream* os) { *os << c.folder; }

std::vector<golden_case> golden_cases() {
  std::vector<golden_case> cases;
  const fs::path root = fs::path(testing_support::source_dir()) / "tests" / "golden" / "cases";
  for (const auto& dir : fs::directory_iterator(root)) {
    for (const program_entry& p : programs()) {
      const std::string input = p.layout_doc().parameter_file;
      if (fs::exists(dir.path() / input))
        cases.push_back({dir.path().filename().string(), &p, input});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const golden_case& a, const golden_case& b) { return a.folder < b.folder; });
  return cases;
}

class GoldenRun : public ::testing::TestWithParam<golden_case> {};

TEST_P(GoldenRun, EveryFileAndLineIsInTheLegend) {
  const golden_case& c = GetParam();
  const calcium::program_doc p = c.program->layout_doc();
  const fs::path folder =
      fs::path(testing_support::source_dir()) / "tests" / "golden" / "cases" / c.folder;
  scratch_dir dir;
  dir.write(c.parameter_file, read_file(folder / c.parameter_file));
  const testing_support::run_result r = dir.run(p.program);

  // The run name as the program took it: the first record of "tmp".
  std::vector<std::string> tmp;
  ASSERT_TRUE(split(dir.read("tmp"), p.line_end, &tmp));
  ASSERT_FALSE(tmp.empty());
  std::string runname = tmp[0].substr(1);
  runname.erase(0, runname.find_first_not_of(' '));  // as the file names drop them

  std::vector<std::string> expected = {c.parameter_file};
  for (const calcium::file_doc& f : p.files) {
    const std::string name = f.fixed_name.empty() ? runname + f.suffix : f.fixed_name;
    expected.push_back(name);
    ASSERT_TRUE(dir.exists(name)) << name;
    std::vector<std::string> lines;
    ASSERT_TRUE(split(dir.read(name), p.line_end, &lines)) << name << ": a line end is not "
                                                           << "the program's";
    if (r.exit_status != 0 && f.kind != calcium::file_kind::rows) continue;  // cut short
    check_file(p, f, lines, name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.files(), expected) << "the run left a file that the legend does not name";

  if (!p.end_of_phase_lines.empty()) {
    std::vector<std::string> console;
    ASSERT_TRUE(split(r.out, p.line_end, &console));
    check_concentration_lines(p, console, "console");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenRun, ::testing::ValuesIn(golden_cases()),
                         [](const ::testing::TestParamInfo<golden_case>& i) {
                           std::string n = i.param.folder;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

// The example with value `item` of statement `line` (both from 1) replaced by
// `by`. The examples hold one statement a line, values first.
std::string spoil(const std::string& text, int line, int item, const std::string& by) {
  std::vector<std::string> lines = testing_support::split_lines(text);
  std::string& l = lines.at(static_cast<std::size_t>(line - 1));
  std::size_t at = 0;
  for (int i = 1;; ++i) {
    at = l.find_first_not_of(" \t,", at);
    const std::size_t end = l.find_first_of(" \t,\r", at);
    if (i == item) {
      l.replace(at, end - at, by);
      break;
    }
    at = end;
  }
  std::string out;
  for (const std::string& x : lines) out += x + "\n";
  return out;
}

TEST(ParameterLegend, TheReaderNamesEveryValueOnItsLine) {
  for (const program_entry& entry : programs()) {
    const calcium::program_doc p = entry.layout_doc();
    SCOPED_TRACE(p.program);
    const std::string example = read_file(fs::path(testing_support::source_dir()) / "examples" /
                                          p.program / p.parameter_file);
    scratch_dir dir;
    dir.write(p.parameter_file, example);
    ASSERT_TRUE(entry.read_as_program((dir / p.parameter_file).string()).accepted);
    ASSERT_FALSE(p.parameters.empty());
    for (const calcium::parameter_doc& v : p.parameters) {
      const std::string bad = v.kind == "text" ? "\x01" : "x";
      dir.write(p.parameter_file, spoil(example, v.line, v.item, bad));
      const calcium::parameter_reading r = entry.read_as_program((dir / p.parameter_file).string());
      EXPECT_FALSE(r.accepted) << v.name;
      const std::string where =
          p.parameter_file + " line " + std::to_string(v.line) + ": " + v.name + ": ";
      EXPECT_EQ(r.message.substr(0, where.size()), where) << r.message;
    }
  }
}

// The legend's size of each program as its parameter file and rows have it.
TEST(ParameterLegend, LinesAndColumnsOfEachProgram) {
  struct expected {
    const char* program;
    int lines;
    std::vector<std::size_t> row_columns;  // of its row files, in the order of creation
  };
  const expected table[] = {
      {"velmo67", 161, {39, 2, 16, 2, 2, 10}},
      {"velmo66", 158, {39, 2, 16, 2, 2, 10}},
      {"velmo65", 158, {34, 16}},
      {"velmo64v6", 110, {34, 2, 15, 2, 7}},
      {"nilpora", 6, {4}},
  };
  for (const expected& e : table) {
    const program_entry* entry = find_program(e.program);
    ASSERT_NE(entry, nullptr) << e.program;
    const calcium::program_doc p = entry->layout_doc();
    EXPECT_EQ(p.parameters.back().line, e.lines) << e.program;
    std::vector<std::size_t> columns;
    for (const calcium::file_doc& f : p.files)
      if (f.width > 0) columns.push_back(f.fields.size());
    EXPECT_EQ(columns, e.row_columns) << e.program;
  }
}

TEST(Reading, ValuesAndRefusalAsJson) {
  const program_entry* nilpora = find_program("nilpora");
  ASSERT_NE(nilpora, nullptr);
  scratch_dir dir;
  dir.write("NILPORA.INP", "run1\n0.0, 0.5, 2.0\n1e2\n5\n0.25\n1.0 0.0\n");
  const std::string ok =
      reading_json("nilpora", nilpora->read_as_program((dir / "NILPORA.INP").string()));
  EXPECT_NE(ok.find("\"accepted\": true"), std::string::npos);
  EXPECT_NE(ok.find("{\"line\": 2, \"item\": 2, \"name\": \"DTOUT\", \"kind\": \"real\", "
                    "\"value\": \"0.5\", \"bits\": \"3fe0000000000000\"}"),
            std::string::npos)
      << ok;
  EXPECT_NE(ok.find("\"name\": \"run name\", \"kind\": \"text\", \"value\": \"run1      \""),
            std::string::npos)
      << ok;
  dir.write("NILPORA.INP", "run1\n0.0, 0.5, 2.0\n1e2\n5\nabc\n");
  const std::string bad =
      reading_json("nilpora", nilpora->read_as_program((dir / "NILPORA.INP").string()));
  EXPECT_NE(bad.find("\"message\": \"NILPORA.INP line 5: KACT: expected a real number, found "
                     "'abc'\""),
            std::string::npos)
      << bad;
}

}  // namespace
}  // namespace layouts
