// Test support: run one of the programs in a fresh temporary directory and
// read back what it wrote. Header-only; used by the end-to-end tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

// The text of a file that the test relies on: one that cannot be opened (a
// result file the run did not write) throws, which fails the test, instead
// of reading as an empty text.
inline std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open '" + p.string() + "'");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text of a file that may be missing ("" then): a run's standard output
// when it had none, a dangling link.
inline std::string read_file_if_present(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

inline std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The names of every entry of `dir` (links, FIFOs and directories
// included), sorted.
inline std::vector<std::string> directory_entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  return sorted(names);
}

// Splits on '\n'. A '\r' before the '\n' stays part of the line, so the
// line-end tests can see it.
inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

// True when every line of `text` ends in CR LF, the last included, and no
// other CR stands in it. An empty text has no line end and is false.
inline bool every_line_ends_in_crlf(const std::string& text) {
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
  }
  return true;
}

// The values of a comma-separated row of scientific fields, INF and NaN
// included; a three-digit exponent stands without its letter (1.2346-120).
inline std::vector<double> row_values(const std::string& row) {
  std::vector<double> v;
  const char* p = row.c_str();
  while (*p) {
    char* end = nullptr;
    double x = std::strtod(p, &end);
    if (end == p) break;
    if ((*end == '-' || *end == '+') && end[1] >= '0' && end[1] <= '9') {
      char* exp_end = nullptr;
      const long e = std::strtol(end, &exp_end, 10);
      x = std::stod(std::string(p, static_cast<std::size_t>(end - p)) + "e" + std::to_string(e));
      end = exp_end;
    }
    v.push_back(x);
    p = end;
    while (*p == ',' || *p == ' ') ++p;
  }
  return v;
}

inline std::string source_dir() {
  const char* s = std::getenv("CALCIUM_SOURCE_DIR");
#ifdef CALCIUM_SOURCE_DIR_DEFAULT
  if (!s) s = CALCIUM_SOURCE_DIR_DEFAULT;
#endif
  return s ? s : ".";
}

inline std::string program_path(const std::string& name) {
  const char* b = std::getenv("CALCIUM_BIN_DIR");
#ifdef CALCIUM_BIN_DIR_DEFAULT
  if (!b) b = CALCIUM_BIN_DIR_DEFAULT;
#endif
  return std::string(b ? b : ".") + "/" + name;
}

struct run_result {
  int exit_status = -1;  // -1 when the program did not exit normally
  std::string out;       // standard output
  std::string err;       // standard error
};

// A scratch directory, removed at the end of the test.
class scratch_dir {
 public:
  scratch_dir() {
    std::string tmpl = (fs::temp_directory_path() / "calcium-test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) std::abort();
    path_ = buf.data();
  }
  ~scratch_dir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  void write(const std::string& name, const std::string& text) const {
    write_file(path_ / name, text);
  }
  std::string read(const std::string& name) const { return read_file(path_ / name); }
  std::string read_if_present(const std::string& name) const {
    return read_file_if_present(path_ / name);
  }
  bool exists(const std::string& name) const { return fs::exists(path_ / name); }

  // Names of the regular files in the directory, sorted.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_))
      if (e.is_regular_file()) names.push_back(e.path().filename().string());
    return sorted(names);
  }

  // Runs the program (by name, from the build's bin directory) with no
  // arguments in this directory.
  run_result run(const std::string& program) const {
    run_result r;
    fs::path out = path_ / ".stdout", err = path_ / ".stderr";
    pid_t pid = fork();
    if (pid == 0) {
      if (chdir(path_.c_str()) != 0) _exit(127);
      if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(127);
      std::string prog = program_path(program);
      execl(prog.c_str(), prog.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) r.exit_status = WEXITSTATUS(status);
    r.out = read_file_if_present(out);
    r.err = read_file_if_present(err);
    fs::remove(out);
    fs::remove(err);
    return r;
  }

 private:
  fs::path path_;
};

}  // namespace testing_support
