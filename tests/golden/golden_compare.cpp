#include "tests/golden/golden_compare.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace golden {
namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

bool month_at(std::string_view t, std::size_t i) {
  static const std::array<std::string_view, 12> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return std::find(months.begin(), months.end(), t.substr(i, 3)) != months.end();
}

// "dd-Mon-yy" at i.
bool date_at(std::string_view t, std::size_t i) {
  return i + 9 <= t.size() && digit(t[i]) && digit(t[i + 1]) && t[i + 2] == '-' &&
         month_at(t, i + 3) && t[i + 6] == '-' && digit(t[i + 7]) && digit(t[i + 8]);
}

// "hh:mm:ss" at i.
bool time_at(std::string_view t, std::size_t i) {
  if (i + 8 > t.size()) return false;
  for (std::size_t k = 0; k < 8; ++k) {
    const bool colon = k == 2 || k == 5;
    if (colon ? t[i + k] != ':' : !digit(t[i + k])) return false;
  }
  return true;
}

// Pieces of the text, each a line with its line feed; the last one may
// have none.
std::vector<std::string_view> lines_with_ends(std::string_view t) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < t.size()) {
    const std::size_t nl = t.find('\n', start);
    const std::size_t end = nl == std::string_view::npos ? t.size() : nl + 1;
    lines.push_back(t.substr(start, end - start));
    start = end;
  }
  return lines;
}

}  // namespace

std::string mask_run_stamp(std::string_view t) {
  static constexpr std::array<std::string_view, 2> cpu_labels = {"Execution time (s):",
                                                                 "System time    (s):"};
  std::string out;
  out.reserve(t.size());
  std::size_t i = 0;
  while (i < t.size()) {
    if (date_at(t, i)) {
      out += "DD-MON-YY";
      i += 9;
      continue;
    }
    if (time_at(t, i)) {
      out += "HH:MM:SS";
      i += 8;
      continue;
    }
    const auto label = std::find_if(cpu_labels.begin(), cpu_labels.end(),
                                    [&](std::string_view l) { return t.substr(i, l.size()) == l; });
    if (label != cpu_labels.end()) {
      out += *label;
      out += " CPU";
      i = std::min(t.find_first_of("\r\n", i), t.size());
      continue;
    }
    out += t[i++];
  }
  return out;
}

std::optional<line_difference> first_difference(std::string_view expected,
                                                std::string_view actual) {
  const std::vector<std::string_view> e = lines_with_ends(expected), a = lines_with_ends(actual);
  const std::size_t n = std::max(e.size(), a.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view el = i < e.size() ? e[i] : std::string_view();
    const std::string_view al = i < a.size() ? a[i] : std::string_view();
    if (i < e.size() && i < a.size() && el == al) continue;
    line_difference d;
    d.line = static_cast<int>(i) + 1;
    d.expected = el;
    d.actual = al;
    d.expected_missing = i >= e.size();
    d.actual_missing = i >= a.size();
    d.expected_lines = static_cast<int>(e.size());
    d.actual_lines = static_cast<int>(a.size());
    const auto parted = std::mismatch(el.begin(), el.end(), al.begin(), al.end());
    d.column = static_cast<std::size_t>(parted.first - el.begin()) + 1;
    return d;
  }
  return std::nullopt;
}

std::string visible(std::string_view line) {
  std::string out = "\"";
  for (const char c : line) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string describe(const std::string& file, const line_difference& d) {
  std::string m = "'" + file + "' differs from its expected file at line " +
                  std::to_string(d.line) + ", column " + std::to_string(d.column) + " (" +
                  std::to_string(d.expected_lines) + " lines expected, " +
                  std::to_string(d.actual_lines) + " written)\n";
  m += "  expected: " + (d.expected_missing ? std::string("<end of file>") : visible(d.expected)) +
       "\n";
  m +=
      "  actual:   " + (d.actual_missing ? std::string("<end of file>") : visible(d.actual)) + "\n";
  return m;
}

}  // namespace golden
