#include "store/atomic_file_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Follows a symbolic link so that a linked configuration file is updated, not replaced by a copy.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return path;
  return resolved;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Opens and exclusively locks the temporary file. Another writer may rename it away while we wait
// for the lock; then the descriptor names the live file, so start over.
int OpenLockedTemp(const std::string& tempPath, mode_t mode) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd =
        open(tempPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
    if (fd < 0) return -1;
    int locked;
    do locked = flock(fd, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    struct stat byFd, byName;
    if (locked == 0 && fstat(fd, &byFd) == 0 && stat(tempPath.c_str(), &byName) == 0 &&
        byFd.st_dev == byName.st_dev && byFd.st_ino == byName.st_ino && S_ISREG(byFd.st_mode))
      return fd;
    close(fd);
    if (locked != 0) return -1;
  }
  return -1;
}

} // namespace

std::string AtomicWriteTempPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name + ".new";
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
  const std::string target = ResolveTarget(path);
  mode_t mode = 0666;
  bool existed = false;
  struct stat st;
  if (stat(target.c_str(), &st) == 0) {
    existed = true;
    // The rename would replace a file its owner may not write; the system decides who may.
    if (!S_ISREG(st.st_mode) || access(target.c_str(), W_OK) != 0) return false;
    mode = st.st_mode & 07777;
  }
  const std::string tempPath = AtomicWriteTempPath(target);
  const int fd = OpenLockedTemp(tempPath, mode);
  if (fd < 0) return false;
  bool ok = ftruncate(fd, 0) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  if (ok && existed) (void)fchmod(fd, mode); // keep the old file's permission bits
  if (ok) ok = rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) unlink(tempPath.c_str());
  close(fd); // releases the lock after the rename, so no writer truncates the live file
  return ok;
}
