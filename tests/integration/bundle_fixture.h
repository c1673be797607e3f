#pragma once
// The built bundle, loaded once per test program as a DAW loads it, and small helpers around it.
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

} // namespace itest
