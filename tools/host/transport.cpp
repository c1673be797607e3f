#include "tools/host/transport.h"

#include <cmath>

#include "pluginterfaces/vst/ivstaudioprocessor.h"

using namespace Steinberg::Vst;

namespace vhost {

double Transport::quarterNotes() const {
  return static_cast<double>(position_) / sampleRate_ * tempo_ / 60.0;
}

ProcessContext* Transport::context() {
  using Need = IProcessContextRequirements;
  const auto needs = [this](uint32_t flag) { return (requirements_ & flag) != 0; };
  context_ = ProcessContext{};
  context_.sampleRate = sampleRate_;
  context_.projectTimeSamples = position_;
  if (needs(Need::kNeedContinousTimeSamples)) {
    context_.state |= ProcessContext::kContTimeValid;
    context_.continousTimeSamples = continuous_;
  }
  if (needs(Need::kNeedProjectTimeMusic)) {
    context_.state |= ProcessContext::kProjectTimeMusicValid;
    context_.projectTimeMusic = quarterNotes();
  }
  if (needs(Need::kNeedBarPositionMusic)) {
    context_.state |= ProcessContext::kBarPositionValid;
    context_.barPositionMusic = std::floor(quarterNotes() / 4.0) * 4.0;
  }
  if (needs(Need::kNeedTempo)) {
    context_.state |= ProcessContext::kTempoValid;
    context_.tempo = tempo_;
  }
  if (needs(Need::kNeedTimeSignature)) {
    context_.state |= ProcessContext::kTimeSigValid;
    context_.timeSigNumerator = 4;
    context_.timeSigDenominator = 4;
  }
  if (needs(Need::kNeedTransportState) && playing_) context_.state |= ProcessContext::kPlaying;
  return &context_;
}

void Transport::advance(int32_t frames) {
  continuous_ += frames;
  if (playing_) position_ += frames;
}

} // namespace vhost
