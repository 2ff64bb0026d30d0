#include "textio/run_name.h"

#include <algorithm>
#include <cstring>

namespace textio {
namespace {

// The text for a message, safely shown.
std::string shown(std::string_view s) { return printable(s, 60); }

std::string_view without_trailing_blanks(std::string_view s) {
  const std::size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

// The value reader's rules for an unquoted value (value_reader.cpp): it
// ends at a blank, tab, comma or slash; a comma or slash first is a null
// value or the end of the statement; a quote first opens a quoted text; and
// digits followed by '*' are a repeat count, not part of the value.
bool reads_back_unquoted(std::string_view name) {
  if (name.empty()) return false;
  if (name.find_first_of(" \t,/") != std::string_view::npos) return false;
  if (name[0] == '\'' || name[0] == '"') return false;
  const std::size_t digits = name.find_first_not_of("0123456789");
  return !(digits > 0 && digits != std::string_view::npos && name[digits] == '*');
}

}  // namespace

bool read_run_name(value_reader& in, std::string_view item, char* dest, int length,
                   std::string* notice, read_error* err) {
  if (!notice) return in.read({text(item, dest, length)}, err);
  notice->clear();
  // Room for the longest text a line can hold, so that the cut is seen.
  const std::size_t room = value_reader::max_line_length;
  const auto len = static_cast<std::size_t>(length);
  std::string whole(room, ' ');
  std::memcpy(whole.data(), dest, len);
  if (!in.read({text(item, whole.data(), static_cast<int>(room))}, err)) return false;
  std::memcpy(dest, whole.data(), len);

  const std::string_view read_text = without_trailing_blanks(whole);
  if (read_text.size() <= len) return true;
  *notice = in.file_name() + " line " + std::to_string(in.line_number()) + ": " +
            std::string(item) + ": the run name '" + shown(read_text) + "' is longer than " +
            std::to_string(length) + " characters; it is cut to '" +
            shown(without_trailing_blanks(read_text.substr(0, len))) +
            "', and the result files are named after it";
  return true;
}

std::string run_name_value(std::string_view padded) {
  const std::string_view name = without_trailing_blanks(padded);
  if (reads_back_unquoted(name)) return std::string(padded);
  std::string out = "'";
  for (char c : name) {
    out += c;
    if (c == '\'') out += c;
  }
  out += '\'';
  out.append(padded.size() - name.size(), ' ');
  return out;
}

}  // namespace textio
