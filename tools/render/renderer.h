#pragma once
// Plays a score through a running plug-in instance block by block and collects the output.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/host/plugin_instance.h"
#include "tools/render/score.h"

namespace vrender {

struct RenderSettings {
  int32_t block = 512;
  // After the score's end the render runs on until silence, at most this long; 0 stops at the end.
  double tailSeconds = 10.0;
};

struct Rendered {
  std::vector<float> left, right;
  double sampleRate = 0.0;
  double peak = 0.0;  // largest magnitude on either side
  bool finite = true; // no NaN or infinity anywhere
  int64_t frames() const { return static_cast<int64_t>(left.size()); }
};

// Progress in 0..1 (an estimate while the tail runs).
using ProgressFn = std::function<void(double)>;

// A tail ends after this much output below kSilence on both sides.
constexpr double kSilence = 1e-5;
constexpr double kSilentSecondsToStop = 0.2;

// Sends one score event to the plug-in at the given offset in the next block.
void sendEvent(vhost::PluginInstance& plugin, const ScoreEvent& e, int32_t offset);

// The instance must be started; the score's frames are at the instance's sample rate.
Rendered renderScore(vhost::PluginInstance& plugin, const Score& score,
                     const RenderSettings& settings, const ProgressFn& progress = {});

} // namespace vrender
