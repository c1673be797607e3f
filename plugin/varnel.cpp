#include "plugin/varnel.h"

#include <cmath>

Varnel::Varnel() : Synth(PlugConfig()) {
  for (Voice& voice : voices) {
    voice.setGenerators(&sg1, &sg2);
    voice.setAttackSource(nullptr);
    voice.setReleaseTrigger(nullptr);
  }
  initParameters();
  reserveProgramStorage();
  initAllPrograms();
  createGraphics();
}

Varnel::~Varnel() {
  ensemble.cleanUp();
}

// An empty program that a MIDI program change reaches is filled on the audio thread: its chunk
// must already have room for a whole state with the longest name.
void Varnel::reserveProgramStorage() {
  IByteChunk state;
  SerializeState(state);
  for (int i = 0; i < NPresets(); ++i)
    GetPreset(i).chunk.Reserve(state.Size() + IPreset::kNameSize);
}

void Varnel::allocateWorkBuffers(int length) {
  const auto n = static_cast<size_t>(length);
  sectionBuf = std::make_unique<double[]>(n);
  voiceMixBuf = std::make_unique<double[]>(n);
  finalGainBuf = std::make_unique<double[]>(n);
  amModBuf = std::make_unique<double[]>(n);
  sg1PitchBuf = std::make_unique<int32_t[]>(n);
  sg2PitchBuf = std::make_unique<int32_t[]>(n);
  cutoffCtlBuf = std::make_unique<int32_t[]>(n);
}

void Varnel::OnReset() {
  Synth::OnReset();
  const double rate = GetSampleRate();
  if (rate != engineRate || std::isnan(rate) || std::isnan(engineRate)) {
    engineRate = rate;
    bufferLength = controlPeriod;
    allocateWorkBuffers(bufferLength);
    clock.setSampleRate(rate);
    clockStarted = false;
    sg1.setSampleRate(rate, sg1PitchBuf.get());
    sg2.setSampleRate(rate, sg2PitchBuf.get());
    filterTables.setSampleRate(rate);
    for (Voice& voice : voices) voice.setSampleRate(rate, filterTables, cutoffCtlBuf.get());
    activeVoices = 0;
    for (Resonator& r : resonators) r.setSampleRate(rate);
    for (int k = 0; k < kNumEqBands; ++k) {
      eq[k].setSampleRate(static_cast<float>(rate));
      eq[k].setCenter(125.0 * std::pow(2.0, k));
    }
    geg.setSampleRate(rate);
    ensemble.setSampleRate(rate);
    ensemble.setPlayingDefaults();
    // The voices have just dropped their serials; elsewhere the count goes on, so that notes
    // after a reset are newer than the tails still sounding from before it.
    noteOnCounter = 0;
  }
  allNotesOff();
}
