// The program store of the plug-in base: 64 named programs, each a stored state chunk.
//
// Threads: these operations run on the user-interface or main thread (editor, file commands,
// constructor). They store parameter values atomically and apply them through the plug-in's
// state reader, whose OnParamReset decides where the handlers run (on the audio thread through
// ScheduleParamChange while processing is on). Nothing here calls a handler directly.
#include "framework/core/plugin_base.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr const char* kUserPresetName = "user preset";

// Copies a name into a program's fixed field, cut to fit without splitting a UTF-8 sequence.
void copyPresetName(IPreset& preset, const std::string& name) {
  size_t n = std::min(name.size(), static_cast<size_t>(IPreset::kNameSize - 1));
  const auto isContinuation = [&](size_t i) {
    return (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80;
  };
  // A cut before a continuation byte would split a character: cut before its lead byte.
  if (n < name.size())
    while (n > 0 && isContinuation(n)) --n;
  std::memcpy(preset.name, name.data(), n);
  preset.name[n] = '\0';
}

// The live values, kept so that a rejected state can be undone. Fixed storage for the usual
// parameter counts keeps a program switch free of allocation.
class ParamSnapshot {
public:
  explicit ParamSnapshot(const PluginBase& plug) : mCount(plug.NParams()) {
    if (mCount > kFixed) mHeap.resize(static_cast<size_t>(mCount));
    double* values = data();
    for (int i = 0; i < mCount; ++i) values[i] = plug.GetParam(i)->GetValue();
  }

  void restoreValues(PluginBase& plug) const {
    const double* values = data();
    for (int i = 0; i < mCount && i < plug.NParams(); ++i) plug.GetParam(i)->SetValue(values[i]);
  }

private:
  static constexpr int kFixed = 256;
  double* data() { return mCount > kFixed ? mHeap.data() : mFixed; }
  const double* data() const { return mCount > kFixed ? mHeap.data() : mFixed; }

  int mCount;
  double mFixed[kFixed];
  std::vector<double> mHeap;
};
} // namespace

std::string PluginBase::GetPresetName(int index) const {
  if (index < 0 || index >= NPresets()) return "";
  const IPreset& preset = mPresets[static_cast<size_t>(index)];
  return std::string(preset.name, strnlen(preset.name, sizeof(preset.name)));
}

bool PluginBase::RestorePreset(int index) {
  if (index < 0 || index >= NPresets()) return false;
  IPreset& preset = mPresets[static_cast<size_t>(index)];

  if (!preset.initialized) {
    // An empty slot takes over the live sound under a fresh name. The state goes straight into
    // the slot's chunk, whose storage the plug-in may reserve, so that a MIDI program change on
    // the audio thread allocates nothing.
    preset.chunk.Clear();
    if (!SerializeState(preset.chunk)) {
      preset.chunk.Clear();
      return false;
    }
    int userPresets = 0;
    for (const IPreset& p : mPresets)
      if (std::strstr(p.name, kUserPresetName)) ++userPresets;
    std::snprintf(preset.name, sizeof(preset.name), "%s %d", kUserPresetName, userPresets + 1);
    preset.initialized = true;
  } else {
    const ParamSnapshot before(*this);
    if (UnserializeState(preset.chunk, 0) < 0) {
      // The reader may have stored part of the values; a refused program changes nothing.
      before.restoreValues(*this);
      OnParamReset(EParamSource::kPresetRecall);
      return false;
    }
  }

  mCurrentPreset = index;
  OnPresetsModified();
  if (OnAudioThread()) {
    for (int i = 0; i < NParams(); ++i)
      SendParamChangeFromProcessor(i, GetParam(i)->GetNormalized());
  } else if (mHost) {
    mHost->ParamValuesChanged();
  }
  SendParamValuesToUI();
  return true;
}

void PluginBase::ModifyCurrentPreset(const char* name) {
  if (mCurrentPreset < 0 || mCurrentPreset >= NPresets()) return;
  IPreset& preset = mPresets[static_cast<size_t>(mCurrentPreset)];
  // The caller's name may live in the program record itself; copy it before writing.
  const std::string newName = name ? name : "";
  IByteChunk state;
  if (!SerializeState(state)) return;
  preset.chunk = std::move(state);
  preset.initialized = true;
  if (!newName.empty()) copyPresetName(preset, newName);
}

bool PluginBase::SerializePresets(IByteChunk& chunk) const {
  for (const IPreset& preset : mPresets) {
    const int32_t length = static_cast<int32_t>(strnlen(preset.name, sizeof(preset.name)));
    chunk.AppendValue(&length);
    chunk.AppendBytes(preset.name, length);
    // A stateless record flagged as initialised would swallow the programs after it.
    const bool withState = preset.initialized && preset.chunk.Size() > 0;
    const uint8_t flags = withState ? 1 : 0;
    chunk.AppendValue(&flags);
    if (withState) chunk.AppendBytes(preset.chunk.GetData(), preset.chunk.Size());
  }
  return true;
}

int PluginBase::UnserializePresets(const IByteChunk& chunk, int startPos) {
  // Each program is taken whole or not at all; the state reader is the only one that knows
  // where a state ends, so it runs on the live parameters, which are put back afterwards.
  const ParamSnapshot before(*this);
  bool liveTouched = false;
  int pos = startPos;
  int loaded = 0;

  for (int i = 0; i < NPresets(); ++i) {
    int32_t length = 0;
    int p = chunk.ReadValue(&length, pos);
    if (p < 0 || length < 0 || static_cast<int64_t>(p) + length > chunk.Size()) break;
    const char* text = reinterpret_cast<const char*>(chunk.GetData() + p);
    const std::string name(text, strnlen(text, static_cast<size_t>(length)));
    p += length;

    uint8_t flags = 0;
    p = chunk.ReadValue(&flags, p);
    if (p < 0) break;

    IPreset& preset = mPresets[static_cast<size_t>(i)];
    if ((flags & 1) == 0) {
      copyPresetName(preset, name);
      preset.initialized = false;
      preset.chunk.Clear();
    } else {
      liveTouched = true;
      const int end = UnserializeState(chunk, p);
      if (end < 1) break;
      // Stored again from the live values, so every program holds the current layout.
      IByteChunk state;
      if (!SerializeState(state)) break;
      copyPresetName(preset, name);
      preset.chunk = std::move(state);
      preset.initialized = true;
      p = end;
    }
    pos = p;
    ++loaded;
  }
  const bool complete = loaded == NPresets();

  if (liveTouched) before.restoreValues(*this);
  const bool currentHasState = mCurrentPreset >= 0 && mCurrentPreset < NPresets() &&
                               mPresets[static_cast<size_t>(mCurrentPreset)].initialized;
  if (loaded == 0) {
    if (liveTouched) OnParamReset(EParamSource::kPresetRecall);
    return kNoPresetRead;
  }
  // RestorePreset runs the handlers when it applies a state; otherwise the engine must still
  // hear the values that were put back.
  if (liveTouched && !currentHasState) OnParamReset(EParamSource::kPresetRecall);
  RestorePreset(mCurrentPreset);
  return complete ? pos : -1;
}
