#pragma once
// The host's Linux run loop as a DAW offers it to an editor: file-descriptor handlers called
// when their descriptor is readable, and repeating timers. The host pumps it on its own thread;
// between events it sleeps in poll(), so an idle editor costs nothing here.
#include <chrono>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "tools/host/ref_counted.h"

namespace vhost {

class RunLoop : public Steinberg::Linux::IRunLoop {
public:
  using Clock = std::chrono::steady_clock;

  RunLoop() = default;
  virtual ~RunLoop();

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API
  unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval ms) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  // Runs handlers and due timers for `ms` milliseconds (0: what is ready now, without waiting).
  // Extra descriptors (the host's own X connection) wake the wait as well.
  void pump(int ms, const std::vector<int>& extraFds = {});

  size_t eventHandlerCount() const { return fdHandlers_.size(); }
  size_t timerCount() const { return timers_.size(); }
  // Some hosts call a handler once more after it was unregistered. With this set, unregistered
  // handlers are kept, and callLateHandlers() calls each of them once.
  void keepUnregistered(bool keep) { keepUnregistered_ = keep; }
  void callLateHandlers();

  VHOST_REFCOUNTED

private:
  struct FdHandler {
    Steinberg::IPtr<Steinberg::Linux::IEventHandler> handler;
    int fd;
  };
  struct Timer {
    Steinberg::IPtr<Steinberg::Linux::ITimerHandler> handler;
    Clock::duration interval;
    Clock::time_point due;
  };
  bool stillRegistered(Steinberg::Linux::IEventHandler* h, int fd) const;
  bool stillRegistered(Steinberg::Linux::ITimerHandler* h) const;
  void runDueTimers();

  std::vector<FdHandler> fdHandlers_;
  std::vector<Timer> timers_;
  bool keepUnregistered_ = false;
  std::vector<FdHandler> lateFdHandlers_;
  std::vector<Steinberg::IPtr<Steinberg::Linux::ITimerHandler>> lateTimers_;
};

} // namespace vhost
