#pragma once
// The host's transport: a 4/4 timeline at a fixed tempo that moves on with every block while
// playing, handed to the processor as its ProcessContext. Like hosts since SDK 3.7 it fills in
// only the fields the plug-in asked for (IProcessContextRequirements); the sample rate and the
// project position in samples always come.
#include <cstdint>

#include "pluginterfaces/vst/ivstprocesscontext.h"

namespace vhost {

class Transport {
public:
  void setSampleRate(double rate) { sampleRate_ = rate; }
  void setTempo(double bpm) { tempo_ = bpm; }
  void setPlaying(bool playing) { playing_ = playing; }
  void locate(int64_t samplePosition) { position_ = samplePosition; }
  // IProcessContextRequirements flags; everything unless set.
  void setRequirements(uint32_t flags) { requirements_ = flags; }
  uint32_t requirements() const { return requirements_; }

  double tempo() const { return tempo_; }
  bool playing() const { return playing_; }
  int64_t position() const { return position_; }
  double quarterNotes() const;

  // The context for the block that starts at the current position.
  Steinberg::Vst::ProcessContext* context();
  // Moves on by one block (only while playing; the continuous time always runs).
  void advance(int32_t frames);

private:
  Steinberg::Vst::ProcessContext context_{};
  double sampleRate_ = 48000.0;
  double tempo_ = 120.0;
  bool playing_ = true;
  int64_t position_ = 0;
  int64_t continuous_ = 0;
  uint32_t requirements_ = ~0u;
};

} // namespace vhost
