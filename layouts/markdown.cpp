#include "layouts/markdown.h"

#include <cctype>

#include "layouts/json.h"

namespace layouts {

namespace {

// Text for a table cell: the characters that Markdown would take as markup
// or as a cell border are escaped.
std::string cell(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '|':
      case '*':
      case '\\':
      case '`':
        out += '\\';
        out += c;
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A name as code; blanks at either end stay visible as written.
std::string code(std::string_view s) {
  const bool backtick = s.find('`') != std::string_view::npos;
  const std::string fence = backtick ? "``" : "`";
  const bool pad = backtick || (!s.empty() && (s.front() == ' ' || s.back() == ' '));
  std::string out = fence + (pad ? " " : "") + std::string(s) + (pad ? " " : "") + fence;
  std::string escaped;
  for (char c : out) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
  return escaped;
}

std::string file_name(const calcium::file_doc& f) {
  return f.fixed_name.empty() ? "run name + " + code(f.suffix) : code(f.fixed_name);
}

// The text with its first letter in upper case, to open a sentence.
std::string sentence(std::string s) {
  if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  return s;
}

void file_section(std::string& out, const calcium::file_doc& f) {
  out += "### " + sentence(f.title) + ": " + file_name(f) + "\n\n";
  out += sentence(cell(f.holds)) + ". Written " + cell(f.written) + ".";
  if (f.width > 0)
    out += " Each row: one blank, then " + std::to_string(f.fields.size()) + " fields " +
           code(field_format(f.width, f.digits)) + " separated by commas, no header line.";
  if (f.integrator_messages)
    out += " The integrator's messages (lines beginning `INTEG--` or `INTRP--`, and their value "
           "lines such as `IN ABOVE MESSAGE,  I1 =`) stand between the rows.";
  out += "\n\n";
  if (f.fields.empty()) return;
  const bool records = f.kind == calcium::file_kind::records;
  out += records ? "| line | name | meaning |\n|---|---|---|\n"
                 : "| column | name | meaning |\n|---|---|---|\n";
  int n = 0;
  for (const calcium::named_value& v : f.fields)
    out += "| " + std::to_string(++n) + " | " + code(v.name) + " | " + cell(v.meaning) + " |\n";
  out += "\n";
}

void program_section(std::string& out, const calcium::program_doc& p) {
  out += "## " + p.program + "\n\n";
  out += "Parameter file " + code(p.parameter_file) + "; run name of " +
         std::to_string(p.runname_length) + " characters, blank-padded inside every file name; " +
         "every line ends with " + (p.line_end == textio::line_end::crlf ? "CR LF" : "LF") + ". ";
  if (p.phases > 1) {
    out += std::to_string(p.phases) + " phases; ";
    out += p.nout_rule ? "data, ER and flux rows under the NOUT rule"
                       : "every row file gets a row at every output step";
    if (p.dtout_after_phase2 > 0.0) out += "; the output interval is 0.1 from phase 3 on";
    out += ".\n\n";
  } else {
    out += "One integration interval.\n\n";
  }
  for (const calcium::file_doc& f : p.files) file_section(out, f);

  if (!p.end_of_phase_lines.empty()) {
    out += "### End-of-phase concentration lines (console and summary file)\n\n";
    out += "After the heading `   concentrations at end of phase  N :`, one line per row below: "
           "one blank, four fields " +
           code(field_format(12, p.concentration_digits)) +
           " separated by commas, and the species trailer right-justified in 26 characters. "
           "They have the layout of the initial-state lines of " +
           code(p.parameter_file) + " and can be pasted there.\n\n";
    out += "| line | values | trailer |\n|---|---|---|\n";
    int n = 0;
    for (const calcium::concentration_line_doc& l : p.end_of_phase_lines) {
      std::string values;
      for (const std::string& v : l.values) values += (values.empty() ? "" : ", ") + code(v);
      out += "| " + std::to_string(++n) + " | " + values + " | " + code(l.trailer) + " |\n";
    }
    out += "\n";
  }

  out += "### Parameter file " + code(p.parameter_file) + "\n\n";
  out += "One statement a line: the values in order, separated by blanks, tabs or commas; the "
         "rest of the line is free for notes. A line with too few values continues on the "
         "next line, and every later line then shifts.\n\n";
  out += "| line | item | name | kind | meaning |\n|---|---|---|---|---|\n";
  for (const calcium::parameter_doc& v : p.parameters)
    out += "| " + std::to_string(v.line) + " | " + std::to_string(v.item) + " | " + code(v.name) +
           " | " + v.kind + " | " + cell(v.meaning) + " |\n";
  out += "\n";
}

}  // namespace

namespace {

constexpr const char* file_names_paragraph =
    "Every result-file name is the whole blank-padded run name followed by a fixed suffix; "
    "`tmp` is shared by all programs in a directory. Rows are scaled scientific fields "
    "(`INF`, `NaN` or asterisks where a value is infinite, not a number or does not fit).\n\n";

std::string without_final_blank_lines(std::string out) {
  while (out.size() > 1 && out[out.size() - 2] == '\n') out.pop_back();
  return out;
}

}  // namespace

std::string legend_markdown(const std::vector<calcium::program_doc>& programs) {
  std::string out =
      "# Result files and parameter files\n\n"
      "Written by `calcium-layouts --markdown` from the tables that the programs' writers and "
      "readers use. Each program's part stands in its folder too, "
      "`models/PROGRAM/results.md`, which the build checks against the tables (ctest "
      "`layouts.results_md`; `cmake --build build --target results_md` rewrites them). The "
      "same legend is `share/calcium/layouts.json` and `calcium columns PROGRAM`.\n\n";
  out += file_names_paragraph;
  for (const calcium::program_doc& p : programs)
    out += "- [" + p.program + "](#" + p.program + ")\n";
  out += "\n";
  for (const calcium::program_doc& p : programs) program_section(out, p);
  return without_final_blank_lines(std::move(out));
}

std::string program_markdown(const calcium::program_doc& p) {
  std::string out = "# Result files and parameter file of " + p.program + "\n\n" +
                    "Written by `calcium-layouts --markdown " + p.program +
                    "` from the tables that the program's writers and readers use; the build "
                    "checks that this file matches them (ctest `layouts.results_md`; `cmake "
                    "--build build --target results_md` rewrites it). The same legend is in "
                    "`share/calcium/layouts.json` and `calcium columns " +
                    p.program + "`.\n\n";
  out += file_names_paragraph;
  program_section(out, p);
  return without_final_blank_lines(std::move(out));
}

}  // namespace layouts
