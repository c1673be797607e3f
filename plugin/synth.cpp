#include "plugin/synth.h"

#include <algorithm>

Synth::Synth(const Config& config) : PluginBase(config) {
  ccMap.fill(-1);
}

Synth::~Synth() = default;

void Synth::OnParamChange(int /*index*/) {}

void Synth::OnReset() {
  midiQueue.reserveForBlock(GetBlockSize());
  clearKeyBuffer();
  midiLearnActive = false;
  // Below 1000 Hz the period would be 0 samples and the engine would never advance.
  controlPeriod = std::max(static_cast<int>(GetSampleRate()) / 1000, 1);
  periodRemaining = 0;
}

void Synth::OnActivate(bool active) {
  if (active) OnParamReset(EParamSource::kHost);
}

void Synth::addPressedKey(int key, int velocity) {
  if (key < 0 || key >= kNumKeys) return;
  if (velocity <= 0) {
    removePressedKey(key);
    return;
  }
  if (mPressedKeys[key] == 0) ++mPressedKeyCount;
  mPressedKeys[key] = velocity;
}

void Synth::removePressedKey(int key) {
  if (key < 0 || key >= kNumKeys || mPressedKeys[key] == 0) return;
  mPressedKeys[key] = 0;
  --mPressedKeyCount;
}

void Synth::clearKeyBuffer() {
  mPressedKeys.fill(0);
  mPressedKeyCount = 0;
}

void Synth::setMidiLearnCC(int /*cc*/) {}
