#include "tools/host/transport.h"

#include <cmath>

using namespace Steinberg::Vst;

namespace vhost {

double Transport::quarterNotes() const {
  return static_cast<double>(position_) / sampleRate_ * tempo_ / 60.0;
}

ProcessContext* Transport::context() {
  context_ = ProcessContext{};
  context_.state = ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                   ProcessContext::kProjectTimeMusicValid | ProcessContext::kBarPositionValid |
                   ProcessContext::kContTimeValid;
  if (playing_) context_.state |= ProcessContext::kPlaying;
  context_.sampleRate = sampleRate_;
  context_.projectTimeSamples = position_;
  context_.continousTimeSamples = continuous_;
  context_.projectTimeMusic = quarterNotes();
  context_.barPositionMusic = std::floor(context_.projectTimeMusic / 4.0) * 4.0;
  context_.tempo = tempo_;
  context_.timeSigNumerator = 4;
  context_.timeSigDenominator = 4;
  return &context_;
}

void Transport::advance(int32_t frames) {
  continuous_ += frames;
  if (playing_) position_ += frames;
}

} // namespace vhost
