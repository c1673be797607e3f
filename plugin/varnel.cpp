#include "plugin/varnel.h"

#include <algorithm>
#include <cmath>

Varnel::Varnel() : Synth(PlugConfig()) {
  initParameters();
  createGraphics();
}

Varnel::~Varnel() = default;

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
  }
  allNotesOff();
}

void Varnel::allNotesOff() {
  clearKeyBuffer();
}

void Varnel::ProcessBlock(double** /*inputs*/, double** outputs, int nFrames) {
  for (int c = 0; c < NOutChannels(); ++c) std::fill(outputs[c], outputs[c] + nFrames, 0.0);
}
