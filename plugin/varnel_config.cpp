#include "plugin/varnel.h"

const Config& PlugConfig() {
  static const Config config = [] {
    Config c;
    c.nParams = kNumParams;
    c.nPresets = Varnel::kNumPrograms;
    c.channelIOStr = "0-1 0-2";
    c.pluginName = "Varnel";
    c.productName = "Varnel";
    c.mfrName = "Vellsound";
    c.vendorVersion = 0x00010102;
    c.uniqueID = FourCC('V', 'r', 'n', 'l');
    c.mfrID = FourCC('V', 'l', 's', 'd');
    c.latency = 0;
    c.plugDoesMidiIn = true;
    c.plugDoesMidiOut = true;
    c.plugDoesMPE = true;
    c.plugDoesChunks = true;
    c.plugType = 1;
    c.plugHasUI = true;
    c.plugWidth = 1256;
    c.plugHeight = 520;
    c.plugMinWidth = 418;
    c.plugMaxWidth = 3768;
    c.plugMinHeight = 173;
    c.plugMaxHeight = 1560;
    c.plugHostResize = false;
    c.bundleID = "com.vellsound.vst3.varnel";
    c.appGroupID = "com.vellsound.varnel";
    c.mfrURL = "https://www.vellsound.com";
    c.mfrEmail = "mailto:support@vellsound.com";
    return c;
  }();
  return config;
}

std::unique_ptr<PluginBase> MakePlug() {
  return std::make_unique<Varnel>();
}
