// The group open of a run's result files: all or nothing, never onto the
// parameter file, never onto a file another run is writing; and the
// directory's shared file, rewritten under a lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "textio/exit_path.h"
#include "textio/units.h"
#include "textio/units_internal.h"

namespace textio {
namespace {

struct file_id {
  dev_t dev;
  ino_t ino;
};

bool same_file(const struct stat& st, const file_id& id) {
  return st.st_dev == id.dev && st.st_ino == id.ino;
}

struct input_file {
  file_id id;
  std::string name;
};

std::vector<input_file>& inputs() {
  static std::vector<input_file> v;
  return v;
}

// Descriptors kept open only to hold the locks of the group for the whole
// run, whenever the program closes the units themselves.
std::vector<int>& held_locks() {
  static std::vector<int> v;
  return v;
}

// A file of a group, open but not yet emptied.
struct pending_file {
  int fd = -1;
  bool created = false;     // the name did not exist: removed if the group fails
  std::string made_target;  // the target of a dangling link, created here
  std::string name;
  struct stat st = {};
  sharing shared = sharing::run;
  bool locked = false;
};

// Opens `name` for writing without truncating it.
bool open_untruncated(const std::string& name, pending_file* out, std::string* reason) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  out->created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    // A dangling link: create its target, as a plain open would, and
    // remember it so that a failed group can take it back.
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) {
      char target[PATH_MAX];
      if (::realpath(name.c_str(), target)) out->made_target = target;
    }
  }
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  out->fd = fd;
  out->name = name;
  if (::fstat(fd, &out->st) != 0) out->st = {};
  return true;
}

// Why `f` cannot be one of the group (after `earlier`); empty when it can.
std::string refusal(const pending_file& f, const std::vector<pending_file>& earlier) {
  for (const input_file& in : inputs())
    if (same_file(f.st, in.id))
      return "cannot write the file '" + f.name + "': it would overwrite the parameter file '" +
             in.name + "'";
  if (!S_ISREG(f.st.st_mode)) return {};
  for (const pending_file& e : earlier)
    if (S_ISREG(e.st.st_mode) && same_file(f.st, {e.st.st_dev, e.st.st_ino}))
      return "cannot write the file '" + f.name + "': it is the same file as '" + e.name + "'";
  return {};
}

// Takes the run's lock on `f`; false when another run holds it. A file
// system without locks leaves the file unlocked.
bool lock_for_the_run(pending_file& f) {
  if (f.shared != sharing::run || !S_ISREG(f.st.st_mode)) return true;
  if (::flock(f.fd, LOCK_EX | LOCK_NB) == 0) {
    f.locked = true;
    return true;
  }
  return errno != EWOULDBLOCK;
}

}  // namespace

void protect_input(int fd, std::string_view name) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return;
  for (const input_file& in : inputs())
    if (same_file(st, in.id)) return;
  inputs().push_back({{st.st_dev, st.st_ino}, std::string(name)});
}

void forget_inputs() { inputs().clear(); }

void release_locks() {
  for (int fd : held_locks()) ::close(fd);
  held_locks().clear();
}

void release_files() {
  close_all();
  release_locks();
}

bool open_units(std::span<const unit_file> files, std::string* error) {
  stop_if_signalled();  // nothing exists yet: a stop now leaves no trace
  std::vector<pending_file> opened;
  opened.reserve(files.size());
  auto give_up = [&](const std::string& message) {
    for (const pending_file& f : opened) {
      ::close(f.fd);
      if (f.created) ::unlink(f.name.c_str());
      if (!f.made_target.empty()) ::unlink(f.made_target.c_str());
    }
    if (error) *error = message;
    return false;
  };
  for (const unit_file& f : files) {
    const std::string name = trimmed_file_name(f.padded_name);
    if (f.unit < 1 || f.unit > 99)
      return give_up("cannot open '" + name + "': unit " + std::to_string(f.unit) +
                     " is not 1 to 99");
    pending_file p;
    p.shared = f.shared;
    std::string reason;
    if (!open_untruncated(name, &p, &reason))
      return give_up("cannot create the file '" + name + "' (" + reason + ")");
    const std::string why = refusal(p, opened);
    opened.push_back(p);
    if (!why.empty()) return give_up(why);
    if (!lock_for_the_run(opened.back()))
      return give_up("cannot write the file '" + name + "': another run is writing it");
  }
  auto file = opened.begin();
  for (const unit_file& f : files) {
    sink& s = unit_slot(f.unit);
    s.adopt(file->fd, file->name);
    // Only a regular file has content to drop; a file created here is empty.
    if (file->shared == sharing::run && S_ISREG(file->st.st_mode) && !file->created &&
        ::ftruncate(file->fd, 0) != 0)
      s.fail(errno);
    if (file->locked) {
      const int keep = ::fcntl(file->fd, F_DUPFD_CLOEXEC, 0);
      if (keep >= 0) held_locks().push_back(keep);
    }
    if (f.unit == 6) set_message_file(file->name);
    ++file;
  }
  return true;
}

shared_write::shared_write(int unit) : unit_(unit) {
  sink* s = textio::unit(unit_);
  if (!s) return;
  const int fd = s->descriptor();
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) break;  // no locks here: write unlocked
    stop_if_signalled();
  }
  if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) < 0) s->fail(errno);
}

shared_write::~shared_write() {
  sink* s = textio::unit(unit_);
  if (!s) return;
  s->flush();
  ::flock(s->descriptor(), LOCK_UN);
}

}  // namespace textio
