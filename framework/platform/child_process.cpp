#include "framework/platform/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr size_t kMaxOutput = 1 << 20;

// Children we stopped waiting for; reaped later so they do not stay zombies.
std::mutex& AbandonedMutex() {
  static std::mutex m;
  return m;
}
std::vector<pid_t>& Abandoned() {
  static std::vector<pid_t> list;
  return list;
}

void ReapAbandoned() {
  std::lock_guard<std::mutex> lock(AbandonedMutex());
  auto& list = Abandoned();
  for (size_t i = 0; i < list.size();) {
    const pid_t r = waitpid(list[i], nullptr, WNOHANG);
    if (r == list[i] || (r < 0 && errno == ECHILD)) {
      list[i] = list.back();
      list.pop_back();
    } else {
      ++i;
    }
  }
}

std::vector<std::string> CleanEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, "LD_LIBRARY_PATH=", 16) == 0 || std::strncmp(*e, "LD_PRELOAD=", 11) == 0)
      continue;
    env.emplace_back(*e);
  }
  return env;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

} // namespace

ChildProcessResult RunChildProcess(const std::vector<std::string>& argv, int timeoutMs) {
  ChildProcessResult result;
  ReapAbandoned();
  if (argv.empty() || argv[0].empty()) return result;

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&actions, 3); // the host's descriptors stay with it
#endif

  // Hosts may block or catch signals; the helper starts with the defaults.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> args = argv;
  std::vector<std::string> env = CleanEnvironment();
  std::vector<char*> argPointers = PointersTo(args);
  std::vector<char*> envPointers = PointersTo(env);

  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, args[0].c_str(), &actions, &attributes, argPointers.data(),
                                   envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return result;
  }
  result.started = true;

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool timedOut = false;
  char buffer[4096];
  for (;;) {
    int waitMs = -1;
    if (timeoutMs >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        timedOut = true;
        break;
      }
      waitMs = static_cast<int>(left.count());
    }
    struct pollfd p = {pipeFds[0], POLLIN, 0};
    const int ready = poll(&p, 1, waitMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) break;
    if (ready == 0) continue;
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break; // end of output: the child closed it, normally by ending
    if (result.output.size() < kMaxOutput) result.output.append(buffer, static_cast<size_t>(n));
  }
  close(pipeFds[0]);

  // The output ended; the child ends right after, unless it handed its output on to another
  // program. Wait for it within what is left of the time allowed.
  for (;;) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, timeoutMs >= 0 ? WNOHANG : 0);
    if (r == pid) {
      result.finished = true;
      if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
      break;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) { // reaped elsewhere (the host ignores SIGCHLD)
      result.finished = true;
      break;
    }
    if (timedOut || std::chrono::steady_clock::now() >= deadline) {
      std::lock_guard<std::mutex> lock(AbandonedMutex());
      Abandoned().push_back(pid);
      break;
    }
    usleep(5000);
  }
  return result;
}
