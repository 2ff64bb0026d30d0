#include "models/calcium/parameter_values.h"

#include <utility>

#include "textio/run_name.h"

namespace calcium {

textio::item parameter_value::item() const {
  switch (kind) {
    case textio::item::kind::real:
      return {name, kind, real, nullptr, nullptr, 0};
    case textio::item::kind::integer:
      return {name, kind, nullptr, integer, nullptr, 0};
    case textio::item::kind::text:
      break;
  }
  return {name, textio::item::kind::text, nullptr, nullptr, text, text_length};
}

parameter_value real_value(std::string name, std::string meaning, double& dest,
                           value_problem problem) {
  parameter_value v{std::move(name), std::move(meaning), textio::item::kind::real};
  v.real = &dest;
  v.problem = problem;
  return v;
}

parameter_value integer_value(std::string name, std::string meaning, int& dest,
                              value_problem problem) {
  parameter_value v{std::move(name), std::move(meaning), textio::item::kind::integer};
  v.integer = &dest;
  v.problem = problem;
  return v;
}

parameter_value text_value(std::string name, std::string meaning, char* dest, int length) {
  parameter_value v{std::move(name), std::move(meaning), textio::item::kind::text};
  v.text = dest;
  v.text_length = length;
  return v;
}

bool read_parameter_line(textio::value_reader& in, const parameter_line& line,
                         textio::read_error* err, std::string* run_name_notice) {
  if (line.values.size() == 1 && line.values[0].kind == textio::item::kind::text) {
    const parameter_value& v = line.values[0];
    return textio::read_run_name(in, v.name, v.text, v.text_length, run_name_notice, err);
  }
  std::vector<textio::item> items;
  items.reserve(line.values.size());
  for (const parameter_value& v : line.values) items.push_back(v.item());
  if (!in.read(items, err)) return false;
  for (const parameter_value& v : line.values) {
    if (!v.problem) continue;
    std::string what = v.problem(v);
    if (what.empty()) continue;
    err->file = in.file_name();
    err->line = in.line_number();
    err->item = v.name;
    err->what = std::move(what);
    return false;
  }
  return true;
}

bool read_parameter_lines(textio::value_reader& in, const parameter_layout_lines& lines,
                          textio::read_error* err, std::string* run_name_notice) {
  for (const parameter_line& line : lines)
    if (!read_parameter_line(in, line, err, run_name_notice)) return false;
  return true;
}

const char* kind_name(textio::item::kind k) {
  switch (k) {
    case textio::item::kind::real:
      return "real";
    case textio::item::kind::integer:
      return "integer";
    case textio::item::kind::text:
      break;
  }
  return "text";
}

}  // namespace calcium
