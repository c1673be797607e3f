#pragma once
// The state of a running MIDI learn or unlearn in one atomic word, so that a controller on the
// audio thread and a parameter edit on the user-interface thread can meet without a lock: every
// event is one compare-and-swap, and exactly one of them completes an operation.
#include <atomic>
#include <cstdint>

class MidiLearnState {
public:
  // What the caller has to do to the controller table after an event.
  enum class Action { kNone, kAssign, kClearController, kClearParam };
  struct Transition {
    Action action = Action::kNone;
    bool completed = false; // the operation ended with this event
    int cc = -1;
    int param = -1;
  };

  static constexpr int kMaxParam = 0xFFFE;

  // True while a learn or unlearn operation runs.
  explicit operator bool() const { return active(); }
  bool active() const { return (load() & kActive) != 0; }
  bool unlearning() const { return (load() & kUnlearn) != 0; }
  int cc() const { return ccOf(load()); }
  int param() const { return paramOf(load()); }

  // The learn button: starts (on) or abandons an operation; both forget the last event.
  void arm(bool on, bool unlearn) {
    mState.store(pack(on, unlearn, -1, -1), std::memory_order_release);
  }
  // Engine reset or a new editor: nothing runs any more, nothing is assigned.
  void cancel() { mState.fetch_and(~(kActive | kUnlearn), std::memory_order_acq_rel); }

  Transition onParam(int index);
  Transition onController(int cc);

private:
  static constexpr uint32_t kActive = 1u, kUnlearn = 2u;
  static constexpr int kCcShift = 2, kParamShift = 10;

  uint32_t load() const { return mState.load(std::memory_order_acquire); }
  static int ccOf(uint32_t s) { return static_cast<int>((s >> kCcShift) & 0xFFu) - 1; }
  static int paramOf(uint32_t s) { return static_cast<int>((s >> kParamShift) & 0xFFFFu) - 1; }
  static uint32_t pack(bool active, bool unlearn, int cc, int param) {
    return (active ? kActive : 0u) | (unlearn ? kUnlearn : 0u) |
           (static_cast<uint32_t>(cc + 1) << kCcShift) |
           (static_cast<uint32_t>(param + 1) << kParamShift);
  }

  std::atomic<uint32_t> mState{pack(false, false, -1, -1)};
  static_assert(std::atomic<uint32_t>::is_always_lock_free, "learning must not lock");
};
