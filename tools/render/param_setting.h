#pragma once
// "NAME=VALUE" settings for parameters, as the user types them on the command line.
#include <string>

#include "tools/host/plugin_instance.h"

namespace vrender {

struct ParamSetting {
  Steinberg::Vst::ParamID id = 0;
  std::string name;
  double normalized = 0.0;
};

// VALUE is a display text ("4-Pole Ladder", "on") or a number for the plain value. Throws
// vhost::HostError naming what was wrong (unknown name, value not offered, out of range).
ParamSetting resolveSetting(const vhost::PluginInstance& plugin, const std::string& assignment);

} // namespace vrender
