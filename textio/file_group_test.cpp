// The group open's guards, seen from outside the run: its locks, the shared
// file's lock, and what it refuses; and, through the seams of
// units_internal.h, what other runs may do in the middle of a group open or
// of the wait for the shared file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "textio/exit_path.h"
#include "textio/test_child.h"
#include "textio/units.h"
#include "textio/units_internal.h"
#include "textio/value_reader.h"

namespace {

using textio_testing::scratch;
using textio_testing::slurp;
namespace fs = std::filesystem;

// True when another open of `name` could take the lock now.
bool lock_free(const char* name) {
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

// A run's files stay locked after the program closes them, until the end of
// the run; a directory file is not locked by the open.
TEST(FileGroup, RunFilesStayLockedUntilTheirRelease) {
  scratch dir;
  const auto r = dir.run([] {
    std::string error;
    if (!textio::open_units({{8, "a.txt"}, {9, "tmp", textio::sharing::directory}}, &error))
      std::exit(9);
    if (lock_free("a.txt") || !lock_free("tmp")) std::exit(2);
    textio::close_unit(8);
    if (lock_free("a.txt")) std::exit(3);
    textio::release_files();
    std::exit(lock_free("a.txt") ? 0 : 4);
  });
  EXPECT_EQ(r.status, 0);
}

// The directory file keeps its content through the open, and is emptied and
// locked only while it is written.
TEST(FileGroup, SharedFileIsRewrittenUnderItsLock) {
  scratch dir;
  std::ofstream(dir / "tmp") << "another run's records\n";
  const auto r = dir.run([] {
    std::string error;
    if (!textio::open_units({{9, "tmp", textio::sharing::directory}}, &error)) std::exit(9);
    if (slurp("tmp") != "another run's records\n") std::exit(2);
    {
      const textio::shared_write alone(9);
      if (lock_free("tmp") || !slurp("tmp").empty()) std::exit(3);
      textio::write_unit(9, " run");
    }
    if (!lock_free("tmp") || slurp("tmp") != " run\n") std::exit(4);
    textio::release_files();
  });
  EXPECT_EQ(r.status, 0);
}

struct refused_case {
  std::string what;
  void (*set_up)(const scratch&);
  std::string error;
};

TEST(FileGroup, RefusesAndLeavesEverythingAsItWas) {
  const refused_case cases[] = {
      {"the input under another name",
       [](const scratch& d) { fs::create_hard_link(d / "IN.INP", d / "b.txt"); },
       "cannot write the file 'b.txt': it would overwrite the parameter file 'IN.INP'"},
      {"two names for one file",
       [](const scratch& d) {
         std::ofstream(d / "a.txt") << "old a\n";
         fs::create_symlink("a.txt", d / "b.txt");
       },
       "cannot write the file 'b.txt': it is the same file as 'a.txt'"},
  };
  for (const refused_case& c : cases) {
    SCOPED_TRACE(c.what);
    scratch dir;
    std::ofstream(dir / "IN.INP") << "1.0\n";
    c.set_up(dir);
    const auto r = dir.run([&c] {
      textio::value_reader in("IN.INP");
      double v;
      if (!in.read({textio::real("v", v)}, nullptr)) std::exit(9);
      std::string error;
      if (textio::open_units({{8, "a.txt"}, {7, "b.txt"}, {5, "c.txt"}}, &error)) std::exit(2);
      std::exit(error == c.error ? 0 : 3);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(slurp(dir / "IN.INP"), "1.0\n");
    EXPECT_FALSE(fs::exists(dir / "c.txt"));
    if (c.what == "two names for one file") {
      EXPECT_EQ(slurp(dir / "a.txt"), "old a\n");
    } else {
      EXPECT_FALSE(fs::exists(dir / "a.txt")) << "made by the group, taken back";
    }
  }
}

// Devices are not files of a run: several names may stand for /dev/null.
TEST(FileGroup, DevicesMayStandForSeveralFiles) {
  scratch dir;
  fs::create_symlink("/dev/null", dir / "a.txt");
  fs::create_symlink("/dev/null", dir / "tmp");
  const auto r = dir.run([] {
    std::string error;
    if (!textio::open_units({{8, "a.txt"}, {9, "tmp", textio::sharing::directory}}, &error))
      std::exit(9);
    const textio::shared_write alone(9);
    textio::write_unit(9, "dropped");
  });
  EXPECT_EQ(r.status, 0);
}

// A file the group makes is locked before its name leads to it, so that no
// other run can take it over and see it taken back later.
TEST(FileGroup, MadeFileIsLockedOnceItsNameExists) {
  const struct {
    std::string what;
    void (*set_up)(const scratch&);
  } cases[] = {
      {"a new name", [](const scratch&) {}},
      {"a dangling link", [](const scratch& d) { fs::create_symlink("target.txt", d / "a.txt"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    scratch dir;
    c.set_up(dir);
    const auto r = dir.run([] {
      static bool seen = false;
      textio::seams().created = [](const std::string& name) {
        if (name != "a.txt") return;
        seen = true;
        if (lock_free("a.txt")) std::exit(3);
      };
      std::string error;
      if (!textio::open_units({{8, "a.txt"}}, &error)) std::exit(9);
      std::exit(seen ? 0 : 4);
    });
    EXPECT_EQ(r.status, 0);
  }
}

std::vector<std::string> entries(const scratch& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void write_as_another_run(const char* name, const char* text) {
  const int fd = ::open(name, O_WRONLY | O_CLOEXEC);
  ::flock(fd, LOCK_EX);
  if (::write(fd, text, std::strlen(text)) < 0) std::exit(8);
  ::close(fd);
}

// Replaces `name` by a new file holding `text`; the old one moves to `old`.
void replace(const char* name, const char* old, const char* text) {
  fs::rename(name, old);
  std::ofstream(name) << text;
}

struct interference {
  std::string what;
  void (*meanwhile)(const std::string& name);  // once a file is made
  std::vector<std::string> left;               // what is in the directory after
  std::string kept, kept_text;                 // a file left as another run had it
};

// A group that fails (b.txt is a directory) after it made a.txt and "tmp":
// what another run did with them meanwhile stays; the rest is taken back.
TEST(FileGroup, FailedGroupTakesBackOnlyWhatNoOtherRunHad) {
  const interference cases[] = {
      {"nobody", [](const std::string&) {}, {"b.txt"}, "", ""},
      {"a.txt replaced",
       [](const std::string& n) {
         if (n == "a.txt") replace("a.txt", "a.old", "another file\n");
       },
       {"a.old", "a.txt", "b.txt"},
       "a.txt",
       "another file\n"},
      {"tmp written by another program",
       [](const std::string& n) {
         if (n == "tmp") write_as_another_run("tmp", "another run\n");
       },
       {"b.txt", "tmp"},
       "tmp",
       "another run\n"},
      {"tmp being written by another program",
       [](const std::string& n) {
         if (n != "tmp") return;
         const int fd = ::open("tmp", O_RDONLY | O_CLOEXEC);  // held to the end
         ::flock(fd, LOCK_EX);
       },
       {"b.txt", "tmp"},
       "tmp",
       ""},
      {"tmp replaced",
       [](const std::string& n) {
         if (n == "tmp") replace("tmp", "tmp.old", "another file\n");
       },
       {"b.txt", "tmp", "tmp.old"},
       "tmp",
       "another file\n"},
  };
  for (const interference& c : cases) {
    SCOPED_TRACE(c.what);
    scratch dir;
    fs::create_directory(dir / "b.txt");
    const auto r = dir.run([&c] {
      textio::seams().created = c.meanwhile;
      std::string error;
      if (textio::open_units({{8, "a.txt"}, {9, "tmp", textio::sharing::directory}, {7, "b.txt"}},
                             &error))
        std::exit(9);
      std::exit(error == "cannot create the file 'b.txt' (Is a directory)" ? 0 : 3);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(entries(dir), c.left);
    if (!c.kept.empty()) {
      EXPECT_EQ(slurp(dir / c.kept), c.kept_text);
    }
  }
}

// A stop signal before the group open: the group is refused with nothing
// created, and the run's stop check ends the run.
TEST(FileGroup, StopSignalBeforeTheOpenRefusesTheGroup) {
  scratch dir;
  const auto r = dir.run([] {
    std::exit(textio::run([] {
      std::raise(SIGTERM);
      std::string error;
      if (textio::open_units({{8, "a.txt"}, {9, "tmp", textio::sharing::directory}}, &error))
        std::exit(9);
      if (error.empty()) std::exit(8);
      textio::stop_if_signalled();
      std::exit(3);
    }));
  });
  EXPECT_EQ(r.status, 128 + SIGTERM);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(entries(dir), std::vector<std::string>{});
}

int g_other_run = -1;  // the lock on "tmp" that another run holds

// The run waits for "tmp"; meanwhile the file it opened is taken away (by
// a refused run that had made it) or replaced. What the run writes goes to
// the file the name leads to when the wait ends.
TEST(FileGroup, SharedWriteGoesToTheFileItsNameLeadsTo) {
  const struct {
    std::string what;
    void (*meanwhile)();
  } cases[] = {
      {"taken away", [] { fs::remove("tmp"); }},
      {"replaced", [] { replace("tmp", "tmp.old", "another file\n"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    scratch dir;
    std::ofstream(dir / "tmp") << "earlier\n";
    const auto r = dir.run([&c] {
      static void (*meanwhile)() = c.meanwhile;
      std::string error;
      if (!textio::open_units({{9, "tmp", textio::sharing::directory}}, &error)) std::exit(9);
      g_other_run = ::open("tmp", O_RDONLY | O_CLOEXEC);
      if (::flock(g_other_run, LOCK_EX) != 0) std::exit(2);
      textio::seams().before_wait = [] {
        if (g_other_run < 0) return;
        meanwhile();
        ::close(g_other_run);
        g_other_run = -1;
      };
      {
        const textio::shared_write alone(9);
        textio::write_unit(9, " run");
      }
      textio::release_files();
      std::exit(textio::output_failed() ? 3 : 0);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(slurp(dir / "tmp"), " run\n");
    EXPECT_EQ(r.err, "waiting for 'tmp', which another run is writing\n");
  }
}

// A stop signal that lands after the run's last look for one and before it
// waits for "tmp" still ends the wait: "tmp" stays as it was, even for lines
// the run writes after the wait, and the run's stop check ends it. The guard
// ends a run that would wait for ever.
TEST(FileGroup, StopSignalJustBeforeTheWaitEndsIt) {
  scratch dir;
  std::ofstream(dir / "tmp") << "another run's records\n";
  const auto r = dir.run([] {
    ::alarm(60);
    std::exit(textio::run([] {
      std::string error;
      if (!textio::open_units({{9, "tmp", textio::sharing::directory}}, &error)) std::exit(9);
      g_other_run = ::open("tmp", O_RDONLY | O_CLOEXEC);
      if (::flock(g_other_run, LOCK_EX) != 0) std::exit(2);
      textio::seams().before_wait = [] { ::kill(::getpid(), SIGTERM); };
      {
        const textio::shared_write alone(9);
        // What the run would write after the wait does not reach the file.
        textio::write_unit(9, "written");
      }
      textio::stop_if_signalled();
      std::exit(3);
    }));
  });
  EXPECT_EQ(r.status, 128 + SIGTERM);
  EXPECT_EQ(slurp(dir / "tmp"), "another run's records\n");
  EXPECT_EQ(r.err, "waiting for 'tmp', which another run is writing\n");
}

}  // namespace
