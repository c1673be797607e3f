#include "tools/host/editor/xvfb_server.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tools/host/host_error.h"

namespace vhost {

namespace {

constexpr int kStartTimeoutMs = 10000;

void stopChild(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

} // namespace

XvfbServer::XvfbServer(int width, int height) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw HostError("Xvfb: cannot create a pipe");
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    throw HostError("Xvfb: cannot fork");
  }
  if (pid == 0) {
    // The write end must survive exec: Xvfb writes its display number there when it is ready.
    const int fd = dup(fds[1]);
    const std::string fdText = std::to_string(fd);
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, STDIN_FILENO);
      dup2(devnull, STDOUT_FILENO);
      dup2(devnull, STDERR_FILENO);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(),
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  pid_ = pid;

  std::string number;
  const auto fail = [&](const std::string& why) {
    close(fds[0]);
    stopChild(pid_);
    pid_ = -1;
    throw HostError("Xvfb did not start: " + why);
  };
  for (int waited = 0; waited < kStartTimeoutMs;) {
    pollfd p{fds[0], POLLIN, 0};
    const int r = poll(&p, 1, 100);
    if (r < 0 && errno != EINTR) fail("poll failed");
    if (r > 0) {
      char buf[32];
      const ssize_t n = read(fds[0], buf, sizeof buf);
      if (n > 0) {
        number.append(buf, static_cast<size_t>(n));
        if (number.find('\n') != std::string::npos) break;
      } else if (n == 0) {
        fail("it exited (is the xvfb package installed?)");
      }
    } else {
      waited += 100;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      close(fds[0]);
      throw HostError("Xvfb did not start: it exited (is the xvfb package installed?)");
    }
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
  if (number.empty()) fail("no display number within " + std::to_string(kStartTimeoutMs) + " ms");
  display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
  stopChild(pid_);
}

} // namespace vhost
