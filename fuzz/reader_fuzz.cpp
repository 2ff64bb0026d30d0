// Fuzz target for the parameter-file reader. The first input byte picks the
// statement table of one program; the rest is written to a file and read
// statement by statement. A failed read must give one error line that names
// the file, an item of the failing statement and a line of the file; the
// reader must then stay spent. The same file read twice, and spelled with
// CR LF line ends, tabs for blanks or a final line feed, must give the same
// values and outcome.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/parameter_tables.h"
#include "textio/value_reader.h"

namespace {

using fuzzcheck::statement_shape;

// One file per process, under $TMPDIR (scripts/fuzz.sh points it into the
// build directory), removed after every input.
const std::string& temp_path() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/calcium_reader_fuzz_" + std::to_string(getpid()) +
           ".INP";
  }();
  return path;
}

void write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
}

// Lines of the file as a reader counts them: every line feed ends one, and a
// last line without a line feed counts too.
int line_count(const std::uint8_t* data, std::size_t size) {
  int n = 0;
  for (std::size_t i = 0; i < size; ++i) n += data[i] == '\n';
  if (size > 0 && data[size - 1] != '\n') ++n;
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

[[noreturn]] void fail(const std::string& what, const textio::read_error& e) {
  std::fprintf(stderr, "READER CHECK FAILED: %s\n  file [%s] line %d item [%s] what [%s]\n  message [%s]\n",
               what.c_str(), e.file.c_str(), e.line, e.item.c_str(), e.what.c_str(), e.message().c_str());
  std::abort();
}

bool read_items(textio::value_reader& r, const std::vector<textio::item>& it, textio::read_error* err) {
  switch (it.size()) {
    case 1:
      return r.read({it[0]}, err);
    case 2:
      return r.read({it[0], it[1]}, err);
    case 3:
      return r.read({it[0], it[1], it[2]}, err);
    case 4:
      return r.read({it[0], it[1], it[2], it[3]}, err);
    case 5:
      return r.read({it[0], it[1], it[2], it[3], it[4]}, err);
    case 7:
      return r.read({it[0], it[1], it[2], it[3], it[4], it[5], it[6]}, err);
  }
  std::abort();  // no program reads another count
}

// What one pass over the file produced.
struct outcome {
  int failed_at = -1;  // statement index, -1 when the whole table was read
  textio::read_error err;
  std::vector<std::uint64_t> values;  // bit patterns of reals, ints and text bytes
  std::vector<int> lines_after;

  bool operator==(const outcome& o) const {
    return failed_at == o.failed_at && err.line == o.err.line && err.item == o.err.item &&
           err.what == o.err.what && values == o.values && lines_after == o.lines_after;
  }
};

// Destinations of one statement, pre-set to marks so that unchanged (null)
// values are recorded too. Each text gets its own heap block of exactly its
// length, so a write past it is caught.
struct destinations {
  std::vector<double> reals;
  std::vector<int> ints;
  std::unique_ptr<char[]> text;
  std::vector<textio::item> items;

  explicit destinations(const statement_shape& s) {
    reals.assign(s.count, 0);
    ints.assign(s.count, 0x5a5a5a5a);
    std::uint64_t mark = 0x7ff4dead0000beefULL;
    for (double& d : reals) std::memcpy(&d, &mark, sizeof d);
    for (int j = 0; j < s.count; ++j) {
      std::string_view name = s.names[j];
      switch (s.k) {
        case statement_shape::real:
          items.push_back(textio::real(name, reals[j]));
          break;
        case statement_shape::integer:
          items.push_back(textio::integer(name, ints[j]));
          break;
        case statement_shape::text:
          text.reset(new char[s.text_len]);
          std::memset(text.get(), '#', s.text_len);
          items.push_back(textio::text(name, text.get(), s.text_len));
          break;
      }
    }
  }

  void record(const statement_shape& s, std::vector<std::uint64_t>& out) const {
    for (int j = 0; j < s.count; ++j) {
      std::uint64_t bits = 0;
      if (s.k == statement_shape::real) std::memcpy(&bits, &reals[j], sizeof bits);
      if (s.k == statement_shape::integer) bits = static_cast<std::uint32_t>(ints[j]);
      out.push_back(bits);
    }
    if (s.k == statement_shape::text)
      for (int i = 0; i < s.text_len; ++i) out.push_back(static_cast<unsigned char>(text[i]));
  }
};

void check_error(const textio::read_error& e, const std::string& path, const statement_shape& s, int lines) {
  std::string m = e.message();
  if (m.find('\n') != std::string::npos || m.find('\r') != std::string::npos)
    fail("error message is more than one line", e);
  if (e.file != path) fail("error does not name the file " + path, e);
  if (e.line < 1 || e.line > lines + 1) fail("error line outside 1.." + std::to_string(lines + 1), e);
  bool known = false;
  for (const auto& n : s.names) known = known || e.item == n;
  if (!known) fail("error names no item of the failing statement", e);
  if (e.what.empty()) fail("error without a reason", e);
  std::string want = e.file + " line " + std::to_string(e.line) + ": " + e.item + ": " + e.what;
  if (m != want) fail("message is not 'FILE line N: ITEM: REASON' (want [" + want + "])", e);
}

outcome read_all(const std::string& path, const std::vector<statement_shape>& table, int lines) {
  outcome o;
  textio::value_reader r(path);
  int previous = 0;
  for (std::size_t k = 0; k < table.size(); ++k) {
    const statement_shape& s = table[k];
    destinations d(s);
    if (!read_items(r, d.items, &o.err)) {
      o.failed_at = static_cast<int>(k);
      check_error(o.err, path, s, lines);
      // A spent reader reads nothing more.
      if (k + 1 < table.size()) {
        destinations next(table[k + 1]);
        textio::read_error again;
        if (read_items(r, next.items, &again)) fail("a read succeeded after a failed one", o.err);
      }
      return o;
    }
    d.record(s, o.values);
    int now = r.line_number();
    if (now <= previous || now > lines) {
      textio::read_error e;
      e.line = now;
      fail("line_number() " + std::to_string(now) + " after statement " + std::to_string(k + 1) +
               " (before: " + std::to_string(previous) + ", file lines: " + std::to_string(lines) + ")",
           e);
    }
    previous = now;
    o.lines_after.push_back(now);
  }
  return o;
}

void check_missing_file_once() {
  static bool done = false;
  if (done) return;
  done = true;
  std::string path = "/nonexistent-dir/CALCIUM.INP";
  const auto& table = fuzzcheck::parameter_table(0);
  outcome o = read_all(path, table, 0);
  if (o.failed_at != 0 || o.err.line != 1) fail("a missing file is not an error at line 1", o.err);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_missing_file_once();
  if (size == 0) return 0;
  const auto& table = fuzzcheck::parameter_table(data[0]);
  const std::string& path = temp_path();
  write_file(path, data + 1, size - 1);
  int lines = line_count(data + 1, size - 1);
  outcome first = read_all(path, table, lines);
  outcome second = read_all(path, table, lines);
  if (!(first == second)) fail("two reads of one file differ", second.err);

  // Spellings of the same file that must read the same.
  std::string body(reinterpret_cast<const char*>(data + 1), size - 1);
  auto same_as_first = [&](const std::string& variant, const char* what) {
    write_file(path, reinterpret_cast<const std::uint8_t*>(variant.data()), variant.size());
    outcome o = read_all(path, table, lines);
    if (!(o == first)) fail(std::string("the file with ") + what + " reads differently", o.err);
  };
  if (body.find('\r') == std::string::npos) same_as_first(with_crlf(body), "CR LF line ends");
  if (body.find_first_of("'\"") == std::string::npos) same_as_first(with_tabs(body), "tabs for blanks");
  if (!body.empty() && body.back() != '\n') same_as_first(body + "\n", "a final line feed");
  std::remove(path.c_str());
  return 0;
}
