// The group open's guards, seen from outside the run: its locks, the shared
// file's lock, and what it refuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "textio/test_child.h"
#include "textio/units.h"
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

}  // namespace
