#include "tools/render/renderer.h"

#include <algorithm>
#include <cmath>

namespace vrender {

void sendEvent(vhost::PluginInstance& plugin, const ScoreEvent& e, int32_t offset) {
  switch (e.kind) {
  case ScoreEvent::Kind::NoteOn:
    plugin.noteOn(e.channel, e.data1, e.data2, offset);
    break;
  case ScoreEvent::Kind::NoteOff:
    plugin.noteOff(e.channel, e.data1, e.data2, offset);
    break;
  case ScoreEvent::Kind::Controller:
    plugin.controlChange(e.channel, e.data1, e.data2, offset);
    break;
  case ScoreEvent::Kind::PitchBend:
    plugin.pitchBend(e.channel, e.data2, offset);
    break;
  case ScoreEvent::Kind::ChannelPressure:
    plugin.channelPressure(e.channel, e.data2, offset);
    break;
  case ScoreEvent::Kind::PolyPressure:
    plugin.polyPressure(e.channel, e.data1, e.data2, offset);
    break;
  }
}

Rendered renderScore(vhost::PluginInstance& plugin, const Score& score,
                     const RenderSettings& settings, const ProgressFn& progress) {
  const double rate = plugin.config().sampleRate;
  const int32_t maxBlock = std::max(1, std::min(settings.block, plugin.config().maxBlock));
  const int64_t tailFrames =
      static_cast<int64_t>(std::llround(std::max(0.0, settings.tailSeconds) * rate));
  const int64_t endFrame = std::max<int64_t>(0, score.endFrame);
  const int64_t lastFrame = endFrame + tailFrames;
  const int64_t silentToStop = std::max<int64_t>(1, std::llround(kSilentSecondsToStop * rate));

  Rendered out;
  out.sampleRate = rate;
  out.left.reserve(static_cast<size_t>(std::min<int64_t>(lastFrame, 600 * 192000)));
  out.right.reserve(out.left.capacity());

  size_t next = 0;
  int64_t silentRun = 0;
  int64_t pos = 0;
  double peak = 0.0;
  bool finite = true;
  int lastPercent = -1;
  while (pos < lastFrame || (pos == 0 && lastFrame == 0 && next < score.events.size())) {
    const int64_t limit = pos < endFrame ? endFrame : lastFrame;
    const int32_t frames =
        static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(maxBlock, limit - pos)));
    while (next < score.events.size() && score.events[next].frame < pos + frames) {
      const ScoreEvent& e = score.events[next++];
      sendEvent(plugin, e, static_cast<int32_t>(std::max<int64_t>(0, e.frame - pos)));
    }
    plugin.process(frames);
    bool blockSilent = true;
    for (int32_t i = 0; i < frames; ++i) {
      const float l = static_cast<float>(plugin.sample(0, i));
      const float r = static_cast<float>(plugin.sample(1, i));
      out.left.push_back(l);
      out.right.push_back(r);
      if (!std::isfinite(l) || !std::isfinite(r)) {
        finite = false;
        blockSilent = false;
        continue;
      }
      const double m =
          std::max(std::fabs(static_cast<double>(l)), std::fabs(static_cast<double>(r)));
      peak = std::max(peak, m);
      if (m >= kSilence) blockSilent = false;
    }
    pos += frames;
    silentRun = blockSilent ? silentRun + frames : 0;
    if (pos >= endFrame && next >= score.events.size() && silentRun >= silentToStop) break;
    if (progress && lastFrame > 0) {
      const int percent = static_cast<int>(100.0 * static_cast<double>(pos) / lastFrame);
      if (percent != lastPercent) {
        lastPercent = percent;
        progress(std::min(1.0, static_cast<double>(pos) / lastFrame));
      }
    }
  }
  if (progress) progress(1.0);
  out.peak = peak;
  out.finite = finite;
  return out;
}

} // namespace vrender
