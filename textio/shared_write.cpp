// The directory's shared file ("tmp"), rewritten by one run at a time: the
// wait for its lock, which a stop signal ends, and the check that the file
// locked is still the one its name leads to.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <string>

#include "textio/error_line.h"
#include "textio/signal_write.h"
#include "textio/units.h"
#include "textio/units_internal.h"

namespace textio {
namespace {

enum class lock_outcome { locked, no_locks, stopped };

// Takes the lock on `fd`, waiting while another run holds it. The stop
// signals stay blocked except inside ppoll, which lets them in atomically: a
// signal that comes at any point of the wait is seen before the next
// attempt, and ends the wait.
lock_outcome lock_waiting(int fd, const std::string& name, bool* announced) {
  sigset_t stops, before;
  sigemptyset(&stops);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, sig);
  sigprocmask(SIG_BLOCK, &stops, &before);
  sigset_t during_pause = before;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigdelset(&during_pause, sig);
  lock_outcome outcome = lock_outcome::stopped;
  while (stop_signal() == 0) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      outcome = lock_outcome::locked;
      break;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {  // no locks here: write unlocked
      outcome = lock_outcome::no_locks;
      break;
    }
    if (!*announced) {
      write_error_line("waiting for '" + name + "', which another run is writing");
      *announced = true;
    }
    if (seams().before_wait) seams().before_wait();
    const timespec pause = {0, 10 * 1000 * 1000};
    ::ppoll(nullptr, 0, &pause, &during_pause);
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  return outcome;
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

shared_write::shared_write(int unit) : unit_(unit) {
  sink* s = textio::unit(unit_);
  if (!s) return;
  const std::string name = shared_file_name(unit_);
  bool announced = false;
  for (int round = 0; round < 100; ++round) {
    struct stat held;
    if (::fstat(s->descriptor(), &held) != 0 || !S_ISREG(held.st_mode)) return;
    const lock_outcome got = lock_waiting(s->descriptor(), name, &announced);
    if (got == lock_outcome::stopped) {
      // The file stays as another run left it: nothing of this run reaches it.
      s->close();
      return;
    }
    if (got == lock_outcome::no_locks || name.empty()) break;
    struct stat named;
    if (::stat(name.c_str(), &named) == 0 && same_file(named, held)) break;
    // The name leads elsewhere now: a refused run took back the empty file
    // it had made, which this run had opened, or the file was replaced.
    // What is written goes to the file the name names.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      s->fail(errno);
      return;
    }
    s->adopt(fd, name);  // closes the old descriptor, and its lock with it
  }
  if (::ftruncate(s->descriptor(), 0) != 0 || ::lseek(s->descriptor(), 0, SEEK_SET) < 0)
    s->fail(errno);
}

shared_write::~shared_write() {
  sink* s = textio::unit(unit_);
  if (!s) return;
  s->flush();
  ::flock(s->descriptor(), LOCK_UN);
}

}  // namespace textio
