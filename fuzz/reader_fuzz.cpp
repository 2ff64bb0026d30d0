// Fuzz target for the programs' parameter-file readers. The first input line
// names the program; the rest is written to a file that the program's own
// reader reads. A failed read must give one error line that names the file,
// an item and a line of the file; a successful one must not let through a
// window length or output interval that its program rejects. The same file
// read twice, and spelled with CR LF line ends, tabs for blanks or a final
// line feed, must give the same values and outcome.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/program_readers.h"

namespace {

using fuzzcheck::read_outcome;

// One file per process, under $TMPDIR (scripts/fuzz.sh points it into the
// build directory), removed after every input.
const std::string& temp_path() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/calcium_reader_fuzz_" +
           std::to_string(getpid()) + ".INP";
  }();
  return path;
}

void write_file(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
}

// Lines of the file as a reader counts them: every line feed ends one, and a
// last line without a line feed counts too.
int line_count(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  if (!s.empty() && s.back() != '\n') ++n;
  return n;
}

std::string with_crlf(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string with_tabs(std::string s) {
  for (char& c : s)
    if (c == ' ') c = '\t';
  return s;
}

[[noreturn]] void fail(const char* program, const std::string& what, const textio::read_error& e) {
  std::fprintf(
      stderr,
      "READER CHECK FAILED (%s): %s\n  file [%s] line %d item [%s] what [%s]\n  message [%s]\n",
      program, what.c_str(), e.file.c_str(), e.line, e.item.c_str(), e.what.c_str(),
      e.message().c_str());
  std::abort();
}

void check_error(const char* program, const textio::read_error& e, const std::string& path,
                 int lines) {
  std::string m = e.message();
  if (m.find('\n') != std::string::npos || m.find('\r') != std::string::npos)
    fail(program, "error message is more than one line", e);
  if (e.file != path) fail(program, "error does not name the file " + path, e);
  if (e.line < 1 || e.line > lines + 1)
    fail(program, "error line outside 1.." + std::to_string(lines + 1), e);
  if (e.item.empty()) fail(program, "error names no item", e);
  for (unsigned char c : e.item)
    if (c <= ' ' && c != ' ') fail(program, "item name holds a control character", e);
  if (e.what.empty()) fail(program, "error without a reason", e);
  std::string want = e.file + " line " + std::to_string(e.line) + ": " + e.item + ": " + e.what;
  if (m != want)
    fail(program, "message is not 'FILE line N: ITEM: REASON' (want [" + want + "])", e);
}

bool same(const read_outcome& a, const read_outcome& b) {
  if (a.ok != b.ok || a.values != b.values) return false;
  return a.ok || (a.err.line == b.err.line && a.err.item == b.err.item && a.err.what == b.err.what);
}

// Reads the file through the program's reader and checks what any single
// read must satisfy.
read_outcome read_checked(const fuzzcheck::program_reader& p, const std::string& path, int lines) {
  read_outcome o = p.read(path);
  if (!o.broken_promise.empty()) fail(p.name, o.broken_promise, o.err);
  if (!o.ok) check_error(p.name, o.err, path, lines);
  return o;
}

void check_missing_file_once() {
  static bool done = false;
  if (done) return;
  done = true;
  const std::string path = "/nonexistent-dir/CALCIUM.INP";
  for (const fuzzcheck::program_reader& p : fuzzcheck::programs()) {
    read_outcome o = read_checked(p, path, 0);
    if (o.ok || o.err.line != 1) fail(p.name, "a missing file is not an error at line 1", o.err);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_missing_file_once();
  // "velmo67\n" and the parameter file; an input that names no program is
  // kept out of the corpus.
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t name_end = input.find('\n');
  if (name_end == std::string_view::npos) return -1;
  const fuzzcheck::program_reader* found = fuzzcheck::find_program(input.substr(0, name_end));
  if (!found) return -1;
  const fuzzcheck::program_reader& p = *found;
  const std::string& path = temp_path();
  const std::string body(input.substr(name_end + 1));
  const int lines = line_count(body);
  write_file(path, body);
  read_outcome first = read_checked(p, path, lines);
  read_outcome second = read_checked(p, path, lines);
  if (!same(first, second)) fail(p.name, "two reads of one file differ", second.err);
  if (std::getenv("READER_FUZZ_TRACE"))  // replaying one input: say what the reader made of it
    std::fprintf(stderr, "%s: %s (%zu values)\n", p.name,
                 first.ok ? "read" : first.err.message().c_str(), first.values.size());

  // Spellings of the same file that must read the same.
  auto same_as_first = [&](const std::string& variant, const char* what) {
    write_file(path, variant);
    read_outcome o = read_checked(p, path, lines);
    if (!same(o, first))
      fail(p.name, std::string("the file with ") + what + " reads differently", o.err);
  };
  if (body.find('\r') == std::string::npos) same_as_first(with_crlf(body), "CR LF line ends");
  if (body.find_first_of("'\"") == std::string::npos)
    same_as_first(with_tabs(body), "tabs for blanks");
  if (!body.empty() && body.back() != '\n') same_as_first(body + "\n", "a final line feed");
  std::remove(path.c_str());
  return 0;
}
