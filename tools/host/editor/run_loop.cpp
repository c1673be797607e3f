#include "tools/host/editor/run_loop.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

using namespace Steinberg;
using namespace Steinberg::Linux;

namespace vhost {

RunLoop::~RunLoop() = default;

tresult PLUGIN_API RunLoop::registerEventHandler(IEventHandler* handler, FileDescriptor fd) {
  if (!handler || fd < 0) return kInvalidArgument;
  fdHandlers_.push_back(FdHandler{IPtr<IEventHandler>(handler), fd});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(IEventHandler* handler) {
  const auto before = fdHandlers_.size();
  if (keepUnregistered_)
    for (auto& f : fdHandlers_)
      if (f.handler.get() == handler) lateFdHandlers_.push_back(f);
  fdHandlers_.erase(std::remove_if(fdHandlers_.begin(), fdHandlers_.end(),
                                   [&](const FdHandler& f) { return f.handler.get() == handler; }),
                    fdHandlers_.end());
  return fdHandlers_.size() != before ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API RunLoop::registerTimer(ITimerHandler* handler, TimerInterval ms) {
  if (!handler || ms == 0) return kInvalidArgument;
  const auto interval = std::chrono::milliseconds(ms);
  timers_.push_back(Timer{IPtr<ITimerHandler>(handler), interval, Clock::now() + interval});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterTimer(ITimerHandler* handler) {
  const auto before = timers_.size();
  if (keepUnregistered_)
    for (auto& t : timers_)
      if (t.handler.get() == handler) lateTimers_.push_back(t.handler);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.handler.get() == handler; }),
                timers_.end());
  return timers_.size() != before ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API RunLoop::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IRunLoop>(this, IRunLoop_iid, iid, obj);
}

bool RunLoop::stillRegistered(IEventHandler* h, int fd) const {
  return std::any_of(fdHandlers_.begin(), fdHandlers_.end(),
                     [&](const FdHandler& f) { return f.handler.get() == h && f.fd == fd; });
}

bool RunLoop::stillRegistered(ITimerHandler* h) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const Timer& t) { return t.handler.get() == h; });
}

void RunLoop::runDueTimers() {
  // Handlers may register or unregister (themselves or others) while they run: work on a copy
  // that holds references, and skip what was unregistered in the meantime.
  const auto now = Clock::now();
  std::vector<IPtr<ITimerHandler>> due;
  for (auto& t : timers_) {
    if (t.due <= now) {
      due.push_back(t.handler);
      // Catch up without bursts after a long stall.
      t.due = std::max(t.due + t.interval, now + t.interval / 2);
    }
  }
  for (auto& h : due)
    if (stillRegistered(h.get())) h->onTimer();
}

void RunLoop::callLateHandlers() {
  std::vector<FdHandler> fds;
  std::vector<IPtr<ITimerHandler>> timers;
  fds.swap(lateFdHandlers_);
  timers.swap(lateTimers_);
  for (auto& f : fds) f.handler->onFDIsSet(f.fd);
  for (auto& t : timers) t->onTimer();
}

void RunLoop::pump(int ms, const std::vector<int>& extraFds) {
  const auto end = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  for (;;) {
    const auto now = Clock::now();
    auto wakeAt = end;
    for (auto& t : timers_) wakeAt = std::min(wakeAt, t.due);
    const int timeout = static_cast<int>(std::max<int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(wakeAt - now).count() +
               (wakeAt > now ? 1 : 0)));

    std::vector<pollfd> fds;
    std::vector<FdHandler> polled = fdHandlers_;
    for (auto& f : polled) fds.push_back(pollfd{f.fd, POLLIN, 0});
    for (int fd : extraFds) fds.push_back(pollfd{fd, POLLIN, 0});
    const int r = poll(fds.data(), fds.size(), timeout);
    if (r < 0 && errno != EINTR) break;
    for (size_t i = 0; r > 0 && i < polled.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      if (stillRegistered(polled[i].handler.get(), polled[i].fd))
        polled[i].handler->onFDIsSet(polled[i].fd);
    }
    runDueTimers();
    if (Clock::now() >= end) break;
  }
}

} // namespace vhost
