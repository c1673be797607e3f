#pragma once
// A private virtual X server for tests and benchmarks: Xvfb on a display number it picks itself
// (so parallel test programs never collide), stopped again by its own process id.
#include <string>
#include <sys/types.h>

namespace vhost {

class XvfbServer {
public:
  // Starts Xvfb with one screen of the given size; throws HostError with the reason when it
  // cannot start within a few seconds.
  explicit XvfbServer(int width = 2560, int height = 1440);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", for XOpenDisplay and the DISPLAY variable.
  const std::string& display() const { return display_; }
  pid_t pid() const { return pid_; }

private:
  std::string display_;
  pid_t pid_ = -1;
};

} // namespace vhost
