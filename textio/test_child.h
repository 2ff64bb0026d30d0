// Test support for the process-wide output units: a scenario runs in a
// child process of its own, in a scratch directory, with its standard output
// and error captured.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace textio_testing {

namespace fs = std::filesystem;

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `body` in a child process in the directory `dir`, its standard output
// and error going to the files `out` and `err`; a body that returns ends the
// child with status 0. Returns the exit status, -1 when a signal ended the
// child. The units are process-wide, so each scenario gets a fresh process.
inline int run_child(const fs::path& dir, const fs::path& out, const std::function<void()>& body,
                     const fs::path& err = "/dev/null") {
  std::fflush(nullptr);  // else the child writes the test runner's pending output again
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(o, STDOUT_FILENO);
    ::dup2(e, STDERR_FILENO);
    ::close(o);
    ::close(e);
    fs::current_path(dir);
    body();
    std::exit(0);  // a normal end without closing anything: the exit flush must do it
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct child_result {
  int status = -1;  // exit status; -1 when a signal ended the child
  std::string out, err;
};

// A scratch directory, removed at the end.
class scratch {
 public:
  scratch() {
    std::string tmpl = (fs::temp_directory_path() / "textio-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~scratch() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  scratch(const scratch&) = delete;
  scratch& operator=(const scratch&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

  // Runs `body` in a child process in this directory (run_child), its
  // standard output and error captured.
  child_result run(const std::function<void()>& body) const {
    const fs::path out = path_ / ".out", err = path_ / ".err";
    child_result r;
    r.status = run_child(path_, out, body, err);
    r.out = slurp(out);
    r.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return r;
  }

 private:
  fs::path path_;
};

}  // namespace textio_testing
