// The symbols a Linux VST3 host looks up in the module.
#include "framework/core/plugin_base.h"
#include "framework/vst3/plugin_factory.h"

#define VARNEL_EXPORT extern "C" __attribute__((visibility("default")))

VARNEL_EXPORT Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() {
  static Vst3Factory factory(PlugConfig(), &MakePlug);
  factory.addRef();
  return &factory;
}

VARNEL_EXPORT bool ModuleEntry(void* /*sharedLibraryHandle*/) {
  return true;
}

VARNEL_EXPORT bool ModuleExit() {
  return true;
}
