#pragma once
// A small plug-in for program-store and file tests: five parameters of every kind and a state
// chunk shaped like the instrument's (marker, program index, values) but shorter.
#include "framework/core/plugin_base.h"

#include <cstring>
#include <vector>

class PresetTestPlug : public PluginBase {
public:
  static constexpr int kNumParams = 5;
  static constexpr int kNumPresets = 64;
  static constexpr char kMarker[5] = "TPst";

  static Config MakeConfig() {
    Config c;
    c.nParams = kNumParams;
    c.nPresets = kNumPresets;
    c.uniqueID = FourCC('V', 'r', 'n', 'l');
    c.vendorVersion = 0x00010102;
    c.plugDoesChunks = true;
    return c;
  }

  PresetTestPlug() : PluginBase(MakeConfig()) {
    GetParam(0)->InitDouble("Level", 0.25, 0.0, 1.0, 0.001);
    GetParam(1)->InitInt("Octave", 0, -2, 2);
    GetParam(2)->InitEnum("Wave", 1, {"Tri", "Saw", "Pulse"});
    GetParam(3)->InitBool("Sync", false);
    GetParam(4)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 1.0);
  }

  void ProcessBlock(double**, double**, int) override {}
  void OnParamChange(int) override { ++handlerRuns; }
  void OnPresetsModified() override { ++presetsModified; }
  void SendParamValuesToUI() override { ++uiRefreshes; }

  bool SerializeState(IByteChunk& chunk) const override {
    chunk.AppendBytes(kMarker, 4);
    const int32_t index = GetCurrentPresetIdx();
    chunk.AppendValue(&index);
    return SerializeParams(chunk);
  }

  int StateEnd(const IByteChunk& chunk, int startPos) const override {
    return PluginBase::StateEnd(chunk, hasMarker(chunk, startPos) ? startPos + 8 : startPos);
  }

  // Marker and index are optional (older chunks are bare value lists); the index is skipped.
  int UnserializeState(const IByteChunk& chunk, int startPos) override {
    int pos = startPos;
    if (hasMarker(chunk, pos)) {
      int32_t index = 0;
      pos = chunk.ReadValue(&index, pos + 4);
    }
    return UnserializeParams(chunk, pos);
  }

  static bool hasMarker(const IByteChunk& chunk, int pos) {
    return pos >= 0 && static_cast<int64_t>(pos) + 4 <= chunk.Size() &&
           std::memcmp(chunk.GetData() + pos, kMarker, 4) == 0;
  }

  std::vector<double> Values() const {
    std::vector<double> values;
    for (int i = 0; i < NParams(); ++i) values.push_back(GetParam(i)->GetValue());
    return values;
  }
  void SetValues(const std::vector<double>& values) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetValue(values[static_cast<size_t>(i)]);
  }

  // Everything a load may change, for "nothing changed" checks.
  struct Snapshot {
    std::vector<double> values;
    int current;
    std::vector<uint8_t> bank;
    bool operator==(const Snapshot& o) const {
      return values == o.values && current == o.current && bank == o.bank;
    }
  };
  Snapshot Take() const {
    IByteChunk bank;
    SerializePresets(bank);
    return {Values(), GetCurrentPresetIdx(),
            std::vector<uint8_t>(bank.GetData(), bank.GetData() + bank.Size())};
  }

  int handlerRuns = 0;
  int presetsModified = 0;
  int uiRefreshes = 0;
};
