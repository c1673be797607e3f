#pragma once
// The built bundle, loaded once per test program as a DAW loads it, and small helpers around it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/bundle.h"
#include "tools/host/plugin_instance.h"
#include "tools/render/renderer.h"
#include "tools/render/score.h"

namespace itest {

const vhost::Bundle& bundle();

// A started instance (the default sound) at the given processing setup.
struct StartedPlugin {
  explicit StartedPlugin(double rate = 48000.0, int32_t block = 512, bool use64 = false);
  vhost::PluginInstance plugin;
};

// One note (key, velocity) held for `seconds`, with the score ending there.
vrender::Score heldNote(double rate, int key, int velocity, double seconds);

vrender::Rendered render(vhost::PluginInstance& plugin, const vrender::Score& score, int32_t block,
                         double tailSeconds = 0.0);

// Where sound is expected, silence is a failure: an all-zero render would pass every
// comparison. True when both sides are finite and their RMS level reaches minRms.
::testing::AssertionResult sounds(const vrender::Rendered& r, double minRms = 1e-3);

} // namespace itest
