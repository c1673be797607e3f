#pragma once
// A small plug-in for the program and bank file fuzz targets: a few parameters of each kind and
// a state chunk with a marker in front, as the instrument writes.
#include "framework/core/plugin_base.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace fuzz {
class FuzzPlug : public PluginBase {
public:
  static Config MakeConfig() {
    Config c;
    c.nParams = 4;
    c.nPresets = 8;
    c.uniqueID = FourCC('V', 'r', 'n', 'l');
    c.vendorVersion = 0x00010102;
    return c;
  }
  FuzzPlug() : PluginBase(MakeConfig()) {
    GetParam(0)->InitDouble("Level", 0.25, 0.0, 1.0, 0.001);
    GetParam(1)->InitInt("Octave", 0, -2, 2);
    GetParam(2)->InitEnum("Wave", 1, {"Tri", "Saw", "Pulse"});
    GetParam(3)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 1.0);
  }
  void ProcessBlock(double**, double**, int) override {}
  // Marker, then the values, like the instrument's chunk.
  bool SerializeState(IByteChunk& chunk) const override {
    chunk.AppendBytes("FzSt", 4);
    return SerializeParams(chunk);
  }
  int UnserializeState(const IByteChunk& chunk, int pos) override {
    if (pos >= 0 && static_cast<int64_t>(pos) + 4 <= chunk.Size() &&
        std::memcmp(chunk.GetData() + pos, "FzSt", 4) == 0)
      pos += 4;
    return UnserializeParams(chunk, pos);
  }
};

inline std::vector<uint8_t> fingerprint(FuzzPlug& plug) {
  IByteChunk bank;
  plug.SerializePresets(bank);
  plug.SerializeState(bank);
  const int32_t current = plug.GetCurrentPresetIdx();
  bank.AppendValue(&current);
  return std::vector<uint8_t>(bank.GetData(), bank.GetData() + bank.Size());
}
// One fuzz input through a file reader: a refused file leaves the program store and the live
// values as they were, and what was loaded can be written and read back.
template <typename Load, typename Make>
int CheckFileLoad(const uint8_t* data, size_t size, Load load, Make make) {
  FuzzPlug plug;
  plug.RestorePreset(2);
  plug.ModifyCurrentPreset("Before");
  const std::vector<uint8_t> before = fingerprint(plug);
  if (!load(plug, data, size) && fingerprint(plug) != before) std::abort();
  IByteChunk file;
  if (!make(plug, file)) std::abort();
  if (!load(plug, file.GetData(), static_cast<size_t>(file.Size()))) std::abort();
  return 0;
}
} // namespace fuzz
