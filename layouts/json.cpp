#include "layouts/json.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace layouts {

namespace {

// A JSON string; bytes outside ASCII become U+0080..U+00FF, so that the text
// of a parameter file comes back byte for byte as Latin-1.
std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7f) {
      char u[8];
      std::snprintf(u, sizeof u, "\\u%04x", c);
      out += u;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string number(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%.17g", v);
  return s;
}

// Members of one object on one line: "key": value pairs.
class object {
 public:
  object& add(std::string_view key, const std::string& json) {
    text_ += (text_.empty() ? "{" : ", ") + quoted(key) + ": " + json;
    return *this;
  }
  object& str(std::string_view key, std::string_view v) { return add(key, quoted(v)); }
  object& num(std::string_view key, long long v) { return add(key, std::to_string(v)); }
  std::string done() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

// A list of JSON values, one a line, indented by `indent`.
std::string list(const std::vector<std::string>& items, int indent) {
  if (items.empty()) return "[]";
  const std::string pad(static_cast<std::size_t>(indent), ' ');
  std::string out = "[\n";
  for (std::size_t i = 0; i < items.size(); ++i)
    out += pad + "  " + items[i] + (i + 1 < items.size() ? ",\n" : "\n");
  return out + pad + "]";
}

const char* kind_name(calcium::file_kind k) {
  switch (k) {
    case calcium::file_kind::rows:
      return "rows";
    case calcium::file_kind::spectrum:
      return "spectrum";
    case calcium::file_kind::records:
      return "records";
    case calcium::file_kind::report:
      return "report";
    case calcium::file_kind::parameter_file:
      break;
  }
  return "parameter file";
}

const char* rule_name(calcium::row_rule r) {
  switch (r) {
    case calcium::row_rule::every_step:
      return "every output step";
    case calcium::row_rule::nout:
      return "NOUT";
    case calcium::row_rule::phase_end:
      return "phase end";
    case calcium::row_rule::once:
      return "once";
    case calcium::row_rule::none:
      break;
  }
  return "";
}

std::string file_json(const calcium::file_doc& f) {
  const std::string pad(8, ' ');
  std::string out = "{\n";
  auto member = [&](std::string_view key, const std::string& json, bool last = false) {
    out += pad + "  " + quoted(key) + ": " + json + (last ? "\n" : ",\n");
  };
  member("suffix", f.suffix.empty() ? "null" : quoted(f.suffix));
  member("name", f.fixed_name.empty() ? "null" : quoted(f.fixed_name));
  member("title", quoted(f.title));
  member("kind", quoted(kind_name(f.kind)));
  member("holds", quoted(f.holds));
  member("written", quoted(f.written));
  member("integrator_messages", f.integrator_messages ? "true" : "false");
  member("rows", f.rows == calcium::row_rule::none ? "null" : quoted(rule_name(f.rows)));
  std::vector<std::string> fields;
  int n = 0;
  const bool records = f.kind == calcium::file_kind::records;
  for (const calcium::named_value& v : f.fields)
    fields.push_back(object()
                         .num(records ? "line" : "column", ++n)
                         .str("name", v.name)
                         .str("meaning", v.meaning)
                         .done());
  if (f.width > 0) {
    member("format", quoted(field_format(f.width, f.digits)));
    member("width", std::to_string(f.width));
    member("digits", std::to_string(f.digits));
  }
  member(records ? "records" : "columns", list(fields, 10), true);
  return out + pad + "}";
}

std::string program_json(const calcium::program_doc& p) {
  const std::string pad(4, ' ');
  std::string out = "{\n";
  auto member = [&](std::string_view key, const std::string& json, bool last = false) {
    out += pad + "  " + quoted(key) + ": " + json + (last ? "\n" : ",\n");
  };
  member("program", quoted(p.program));
  member("parameter_file", quoted(p.parameter_file));
  member("run_name_length", std::to_string(p.runname_length));
  member("line_end", quoted(p.line_end == textio::line_end::crlf ? "CRLF" : "LF"));
  member("phases", std::to_string(p.phases));
  member("row_control", quoted(p.nout_rule ? "NOUT" : "every output step"));
  member("output_interval_after_phase_2",
         p.dtout_after_phase2 > 0.0 ? number(p.dtout_after_phase2) : "null");
  if (p.maxima_phases.first > p.maxima_phases.last) {
    member("period_analysis", "null");
  } else {
    auto phases = [](calcium::phase_span s) {
      std::string out;
      for (int q = s.first; q <= s.last; ++q) out += (out.empty() ? "" : ", ") + std::to_string(q);
      return "[" + out + "]";
    };
    member("period_analysis", object()
                                  .add("maxima_phases", phases(p.maxima_phases))
                                  .add("echoed_phases", phases(p.echoed_phases))
                                  .done());
  }
  std::vector<std::string> files;
  for (const calcium::file_doc& f : p.files) files.push_back(file_json(f));
  member("files", list(files, 6));
  std::vector<std::string> params;
  for (const calcium::parameter_doc& v : p.parameters)
    params.push_back(object()
                         .num("line", v.line)
                         .num("item", v.item)
                         .str("name", v.name)
                         .str("meaning", v.meaning)
                         .str("kind", v.kind)
                         .done());
  member("parameters", list(params, 6));
  if (p.end_of_phase_lines.empty()) {
    member("end_of_phase_lines", "null", true);
  } else {
    std::vector<std::string> lines;
    int n = 0;
    for (const calcium::concentration_line_doc& l : p.end_of_phase_lines) {
      std::string values;
      for (const std::string& v : l.values) values += (values.empty() ? "" : ", ") + quoted(v);
      lines.push_back(object()
                          .num("line", ++n)
                          .add("values", "[" + values + "]")
                          .str("trailer", l.trailer)
                          .done());
    }
    member("end_of_phase_lines",
           "{\"format\": " + quoted(field_format(12, p.concentration_digits)) +
               ", \"lines\": " + list(lines, 6) + "}",
           true);
  }
  return out + pad + "}";
}

}  // namespace

std::string field_format(int width, int digits) {
  return "1PE" + std::to_string(width) + "." + std::to_string(digits);
}

std::string legend_json(const std::vector<calcium::program_doc>& programs) {
  std::vector<std::string> items;
  for (const calcium::program_doc& p : programs) items.push_back(program_json(p));
  return "{\n  \"programs\": " + list(items, 2) + "\n}\n";
}

std::string reading_json(const std::string& program, const calcium::parameter_reading& r) {
  std::vector<std::string> values;
  for (const calcium::read_value& v : r.values) {
    object o;
    o.num("line", v.where.line).num("item", v.where.item);
    o.str("name", v.where.name).str("kind", v.where.kind);
    if (v.where.kind == "real") {
      std::uint64_t bits;
      std::memcpy(&bits, &v.real, sizeof bits);
      char hex[20];
      std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
      o.str("value", number(v.real)).str("bits", hex);
    } else if (v.where.kind == "integer") {
      o.num("value", v.integer);
    } else {
      o.str("value", v.text);
    }
    values.push_back(o.done());
  }
  return "{\n  \"program\": " + quoted(program) +
         ",\n  \"accepted\": " + (r.accepted ? "true" : "false") +
         ",\n  \"message\": " + (r.accepted ? "null" : quoted(r.message)) +
         ",\n  \"values\": " + list(values, 2) + "\n}\n";
}

}  // namespace layouts
