#pragma once
// Drives a Varnel instance the way the host adapter does: reset, activation, MIDI messages
// before each block and two double output channels.
#include "plugin/varnel.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace enginetest {

struct Render {
  std::vector<double> left, right;
};

inline IMidiMsg midi(uint8_t status, uint8_t data1, uint8_t data2, int offset = 0) {
  IMidiMsg m;
  m.offset = offset;
  m.status = status;
  m.data1 = data1;
  m.data2 = data2;
  return m;
}
inline IMidiMsg noteOn(int key, int velocity = 100, int offset = 0) {
  return midi(0x90, static_cast<uint8_t>(key), static_cast<uint8_t>(velocity), offset);
}
inline IMidiMsg noteOff(int key, int offset = 0) {
  return midi(0x80, static_cast<uint8_t>(key), 0, offset);
}
inline IMidiMsg controller(int cc, int value, int offset = 0) {
  return midi(0xB0, static_cast<uint8_t>(cc), static_cast<uint8_t>(value), offset);
}
// 14-bit bend value, 0x2000 centre.
inline IMidiMsg pitchBend(int value, int offset = 0) {
  return midi(0xE0, static_cast<uint8_t>(value & 0x7F), static_cast<uint8_t>(value >> 7), offset);
}

class Engine {
public:
  explicit Engine(double rate = 44100.0, int blockSize = 512) : plug(std::make_unique<Varnel>()) {
    // Every parameter at its default, whatever program construction loaded.
    for (int i = 0; i < plug->NParams(); ++i)
      plug->GetParam(i)->SetValue(plug->GetParam(i)->GetDefault());
    plug->SetSampleRate(rate);
    plug->SetBlockSize(blockSize);
    plug->OnReset();
    plug->OnActivate(true);
  }

  Varnel& operator*() { return *plug; }
  Varnel* operator->() { return plug.get(); }

  void set(int index, double value) {
    plug->GetParam(index)->SetValue(value);
    plug->OnParamChange(index);
  }
  // MIDI and blocks arrive on the audio thread, as the host adapter marks it.
  void send(const IMidiMsg& msg) {
    const PluginBase::AudioThreadScope audioThread;
    plug->ProcessMidiMsg(msg);
  }

  // One host block; the samples are appended to out when given.
  void block(int frames, Render* out = nullptr) {
    left.assign(static_cast<size_t>(frames), 0.0);
    right.assign(static_cast<size_t>(frames), 0.0);
    double* outs[2] = {left.data(), right.data()};
    const PluginBase::AudioThreadScope audioThread;
    plug->ProcessBlock(nullptr, outs, frames);
    if (out) {
      out->left.insert(out->left.end(), left.begin(), left.end());
      out->right.insert(out->right.end(), right.begin(), right.end());
    }
  }
  // Exactly one control period, when the previous block ended on a period boundary.
  void period() { block(plug->controlPeriod); }
  void periods(int count) {
    for (int i = 0; i < count; ++i) period();
  }
  // frames samples in host blocks of blockSize.
  Render render(int frames, int blockSize = 512) {
    Render r;
    r.left.reserve(static_cast<size_t>(frames));
    r.right.reserve(static_cast<size_t>(frames));
    while (frames > 0) {
      const int n = frames < blockSize ? frames : blockSize;
      block(n, &r);
      frames -= n;
    }
    return r;
  }

  // The sounding voice of key, or null.
  const Voice* voiceOf(int key) const {
    for (const Voice& v : plug->voices)
      if (v.isActive() && v.getKey() == key) return &v;
    return nullptr;
  }
  int indexOf(const Voice* voice) const {
    return voice ? static_cast<int>(voice - plug->voices) : -1;
  }

  std::unique_ptr<Varnel> plug;
  std::vector<double> left, right;
};

inline bool allFinite(const double* x, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(x[i])) return false;
  return true;
}

inline double rms(const std::vector<double>& x, size_t from = 0) {
  double sum = 0.0;
  for (size_t i = from; i < x.size(); ++i) sum += x[i] * x[i];
  return x.size() > from ? std::sqrt(sum / static_cast<double>(x.size() - from)) : 0.0;
}

} // namespace enginetest
