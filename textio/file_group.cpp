// The group open of a run's result files: all or nothing, never onto the
// parameter file or standard output, never onto a file another run is
// writing, and a failed group takes back only files no other run has had.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "textio/signal_write.h"
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

// The names of the `sharing::directory` files, by unit.
std::string& shared_name(int unit) {
  static std::string names[100];
  return names[unit];
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
  // The file this open made: the name, or the target of a dangling link.
  // Empty when the file was there before. Taken back if the group fails.
  std::string made;
  std::string name;
  struct stat st = {};
  sharing shared = sharing::run;
  bool locked = false;
};

std::string directory_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates `path`, which does not exist yet, and returns its descriptor. With
// `locked`, no other run can open the new file before this one holds its
// lock (*locked tells whether the file system gave it): the file is made and
// locked under a scratch name in the same directory, then linked into place,
// which fails with EEXIST when the name has come to exist meanwhile. A file
// system without hard links gets a plain exclusive create, locked straight
// after.
int create_in_place(const std::string& path, bool* locked) {
  const std::string scratch_prefix = directory_of(path) + ".new-" + std::to_string(::getpid());
  std::string scratch;
  int fd = -1;
  for (int n = 0; fd < 0 && n < 100; ++n) {
    scratch = scratch_prefix + "-" + std::to_string(n);
    fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return -1;
  }
  if (fd < 0) return -1;
  if (locked) *locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;  // nobody else knows the file yet
  const bool placed = ::link(scratch.c_str(), path.c_str()) == 0;
  const int link_error = errno;
  ::unlink(scratch.c_str());
  if (placed) return fd;
  ::close(fd);
  if (link_error == EEXIST) {
    errno = EEXIST;
    return -1;
  }
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0 && locked) *locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  return fd;
}

// Follows `path` along its chain of links to the name a plain open would
// create; false (errno set) when the chain cannot be followed.
bool follow_links(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0) return errno == ENOENT || errno == EINVAL;  // missing, or no link
    if (n == static_cast<ssize_t>(sizeof target)) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::string next(target, static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : directory_of(path) + next;
  }
  errno = ELOOP;
  return false;
}

// Opens `name` for writing without truncating it; a name that leads to no
// file (missing, or a dangling link) gets its file made, as a plain open
// would, and remembered so that a failed group can take it back.
bool open_untruncated(const std::string& name, pending_file* out, std::string* reason) {
  int fd = -1;
  for (int attempt = 0; attempt < 8; ++attempt) {
    fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT) break;
    std::string path = name;
    if (!follow_links(path)) break;
    // "tmp" is locked only while written: no lock at its creation.
    fd = create_in_place(path, out->shared == sharing::run ? &out->locked : nullptr);
    if (fd >= 0) {
      out->made = path;
      if (seams().created) seams().created(name);
      break;
    }
    if (errno != EEXIST) break;  // else another run made it meanwhile: open it as it is
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

// Whether the file this open made for `f` may be removed again: the name it
// was made under still leads to it, and no other run has written it. A run
// file locked since before its name existed cannot have been; any other
// (the shared "tmp") only when it is free and still empty.
bool may_take_back(const pending_file& f) {
  if (f.made.empty()) return false;
  if (!f.locked) {
    if (::flock(f.fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return false;
    struct stat now;
    if (::fstat(f.fd, &now) != 0 || now.st_size != 0) return false;
  }
  struct stat named;
  return ::lstat(f.made.c_str(), &named) == 0 && same_file(named, {f.st.st_dev, f.st.st_ino});
}

// Why `f` cannot be one of the group (after `earlier`); empty when it can.
std::string refusal(const pending_file& f, const std::vector<pending_file>& earlier) {
  for (const input_file& in : inputs())
    if (same_file(f.st, in.id))
      return "cannot write the file '" + f.name + "': it would overwrite the parameter file '" +
             in.name + "'";
  if (!S_ISREG(f.st.st_mode)) return {};
  // The console report would run through the file's rows.
  struct stat out;
  if (::fstat(STDOUT_FILENO, &out) == 0 && same_file(f.st, {out.st_dev, out.st_ino}))
    return "cannot write the file '" + f.name + "': it is standard output";
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

const std::string& shared_file_name(int unit) { return shared_name(unit); }

file_seams& seams() {
  static file_seams s;
  return s;
}

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
  // Nothing exists yet: after a stop signal the group is refused, leaving no
  // trace, and the run's stop check ends the run.
  if (stop_signal() != 0) {
    if (error) *error = "the run was stopped before its result files were opened";
    return false;
  }
  std::vector<pending_file> opened;
  opened.reserve(files.size());
  auto give_up = [&](const std::string& message) {
    for (const pending_file& f : opened) {
      if (may_take_back(f)) ::unlink(f.made.c_str());
      ::close(f.fd);  // lets go of its lock only now
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
    if (file->shared == sharing::run && S_ISREG(file->st.st_mode) && file->made.empty() &&
        ::ftruncate(file->fd, 0) != 0)
      s.fail(errno);
    if (file->locked) {
      const int keep = ::fcntl(file->fd, F_DUPFD_CLOEXEC, 0);
      if (keep >= 0) held_locks().push_back(keep);
    }
    if (f.unit == 6) set_message_file(file->name);
    shared_name(f.unit) = f.shared == sharing::directory ? file->name : std::string();
    ++file;
  }
  return true;
}

}  // namespace textio
