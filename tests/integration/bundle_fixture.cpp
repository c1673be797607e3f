#include "tests/integration/bundle_fixture.h"

#include <cmath>
#include <memory>

namespace itest {

const vhost::Bundle& bundle() {
  static const std::unique_ptr<vhost::Bundle> loaded = vhost::Bundle::load(VARNEL_BUNDLE);
  return *loaded;
}

StartedPlugin::StartedPlugin(double rate, int32_t block, bool use64) : plugin(bundle()) {
  vhost::ProcessConfig config;
  config.sampleRate = rate;
  config.maxBlock = block;
  config.use64 = use64;
  plugin.start(config);
}

vrender::Score heldNote(double rate, int key, int velocity, double seconds) {
  vrender::Score score;
  vrender::ScoreEvent on;
  on.kind = vrender::ScoreEvent::Kind::NoteOn;
  on.data1 = key;
  on.data2 = velocity;
  vrender::ScoreEvent off = on;
  off.kind = vrender::ScoreEvent::Kind::NoteOff;
  off.data2 = 0;
  off.frame = static_cast<int64_t>(std::llround(seconds * rate));
  score.events = {on, off};
  vrender::finishScore(score);
  return score;
}

vrender::Rendered render(vhost::PluginInstance& plugin, const vrender::Score& score, int32_t block,
                         double tailSeconds) {
  vrender::RenderSettings settings;
  settings.block = block;
  settings.tailSeconds = tailSeconds;
  return vrender::renderScore(plugin, score, settings);
}

::testing::AssertionResult sounds(const vrender::Rendered& r, double minRms) {
  if (!r.finite) return ::testing::AssertionFailure() << "the render is not finite";
  for (const std::vector<float>* side : {&r.left, &r.right}) {
    double sum = 0.0;
    for (float x : *side) sum += static_cast<double>(x) * x;
    const double rms = side->empty() ? 0.0 : std::sqrt(sum / static_cast<double>(side->size()));
    if (!(rms >= minRms))
      return ::testing::AssertionFailure()
             << (side == &r.left ? "left" : "right") << " side is silent: RMS " << rms << " over "
             << side->size() << " frames";
  }
  return ::testing::AssertionSuccess();
}

} // namespace itest
