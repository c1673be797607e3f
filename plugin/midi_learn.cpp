// MIDI learn: the state machine of the learn button and how its result enters the controller
// table. Runs on the audio thread (controllers, scheduled parameter changes) and on the
// user-interface thread (button, direct parameter changes); it neither locks nor allocates.
#include "plugin/midi_learn.h"
#include "plugin/synth.h"

MidiLearnState::Transition MidiLearnState::onParam(int index) {
  Transition t;
  if (index < 0 || index > kMaxParam) return t;
  uint32_t s = load();
  for (;;) {
    if ((s & kActive) == 0) return Transition();
    const int cc = ccOf(s);
    uint32_t next;
    t = Transition();
    t.cc = cc;
    t.param = index;
    if (s & kUnlearn) {
      // Whichever comes first decides what is removed.
      t.action = cc != -1 ? Action::kClearController : Action::kClearParam;
      t.completed = true;
      next = pack(false, false, cc, index);
    } else if (cc != -1) {
      t.action = Action::kAssign;
      t.completed = true;
      next = pack(false, false, cc, index);
    } else {
      next = pack(true, false, -1, index); // the latest parameter wins while waiting
    }
    if (mState.compare_exchange_weak(s, next, std::memory_order_acq_rel, std::memory_order_acquire))
      return t;
  }
}

MidiLearnState::Transition MidiLearnState::onController(int cc) {
  Transition t;
  if (cc < 0 || cc > 0xFE) return t;
  uint32_t s = load();
  for (;;) {
    const bool active = (s & kActive) != 0;
    const int param = paramOf(s);
    uint32_t next;
    t = Transition();
    t.cc = cc;
    t.param = param;
    if (!active) {
      next = pack(false, (s & kUnlearn) != 0, cc, param);
    } else if (s & kUnlearn) {
      t.action = Action::kClearController;
      t.completed = true;
      next = pack(false, false, cc, param);
    } else if (param != -1) {
      t.action = Action::kAssign;
      t.completed = true;
      next = pack(false, false, cc, param);
    } else {
      next = pack(true, false, cc, -1); // the latest controller wins while waiting
    }
    if (mState.compare_exchange_weak(s, next, std::memory_order_acq_rel, std::memory_order_acquire))
      return t;
  }
}

void Synth::doMidiLearn(bool on) {
  midiLearnActive.arm(on, false);
}

void Synth::doMidiUnlearn(bool on) {
  midiLearnActive.arm(on, true);
}

void Synth::setMidiLearnCC(int cc) {
  if (cc < 0 || cc >= kNumLearnableCCs) return; // 120..127 are channel-mode messages
  finishLearn(midiLearnActive.onController(cc));
}

void Synth::OnParamChange(int index) {
  if (!midiLearnActive) return;
  finishLearn(midiLearnActive.onParam(index));
}

void Synth::finishLearn(const MidiLearnState::Transition& done) {
  using Action = MidiLearnState::Action;
  const auto clearParam = [this](int param) {
    for (std::atomic<int>& entry : ccMap)
      if (entry.load(std::memory_order_relaxed) == param)
        entry.store(-1, std::memory_order_relaxed);
  };
  const bool ccValid = done.cc >= 0 && done.cc < kNumLearnableCCs;
  switch (done.action) {
  case Action::kAssign:
    if (!ccValid) break;
    // A learnt parameter answers to one controller only.
    clearParam(done.param);
    ccMap[static_cast<size_t>(done.cc)].store(done.param, std::memory_order_relaxed);
    break;
  case Action::kClearController:
    if (!ccValid) break;
    ccMap[static_cast<size_t>(done.cc)].store(-1, std::memory_order_relaxed);
    break;
  case Action::kClearParam:
    clearParam(done.param);
    break;
  case Action::kNone:
    break;
  }
  // The button belongs to the user-interface thread; its idle handler switches it off.
  if (done.completed) learnButtonOffRequest.store(true, std::memory_order_release);
}
