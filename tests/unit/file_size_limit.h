#pragma once
// A real write failure that binds the super-user too: while this lives, no file of the process
// may grow beyond `bytes`, so a write past it fails as on a full disk (EFBIG, not a signal).
#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &mOld);
    struct rlimit limit = mOld;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &mOld);
    std::signal(SIGXFSZ, mOldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  struct rlimit mOld {};
  void (*mOldHandler)(int) = SIG_DFL;
};
