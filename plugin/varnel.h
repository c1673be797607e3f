#pragma once
// The instrument: owns the engine, declares the parameters and turns host calls into sound.
#include "plugin/param_ids.h"
#include "plugin/synth.h"

#include <cstdint>
#include <memory>

class Varnel : public Synth {
public:
  static constexpr int kNumVoices = 64;
  static constexpr int kNumPrograms = 64;

  Varnel();
  ~Varnel() override;

  void OnReset() override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  void initParameters() override;
  void allNotesOff() override;

  double engineRate = 0.0;
  int bufferLength = -1;

  // Work buffers: one control period each, reallocated only when the sample rate changes.
  std::unique_ptr<double[]> sectionBuf;
  std::unique_ptr<double[]> voiceMixBuf;
  std::unique_ptr<double[]> finalGainBuf;
  std::unique_ptr<double[]> amModBuf;
  std::unique_ptr<int32_t[]> sg1PitchBuf;
  std::unique_ptr<int32_t[]> sg2PitchBuf;
  std::unique_ptr<int32_t[]> cutoffCtlBuf;

private:
  void allocateWorkBuffers(int length);
};
