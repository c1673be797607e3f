#include "plugin/varnel.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
constexpr char kVersionMagic[] = "Varnel_1.1.1";
constexpr int kMagicLength = sizeof(kVersionMagic) - 1;
// Names in a chunk are read into a 64-byte buffer: longer ones are cut.
constexpr int kMaxChunkNameLength = 63;
} // namespace

bool Varnel::isNewVersion_1_1_1(const IByteChunk& chunk, int pos) {
  return pos >= 0 && static_cast<int64_t>(pos) + kMagicLength <= chunk.Size() &&
         std::memcmp(chunk.GetData() + pos, kVersionMagic, kMagicLength) == 0;
}

bool Varnel::SerializeState(IByteChunk& chunk) const {
  chunk.AppendBytes(kVersionMagic, kMagicLength);
  const int32_t program = GetCurrentPresetIdx();
  chunk.AppendValue(&program);
  chunk.AppendString(GetPresetName(program));
  for (int i = 0; i < kNumParams; ++i) {
    const double value = GetParam(i)->GetValue();
    chunk.AppendValue(&value);
  }
  return chunk.Size() > 0;
}

int Varnel::UnserializeState(const IByteChunk& chunk, int startPos) {
  int32_t program = GetCurrentPresetIdx();
  const bool hasMarker = isNewVersion_1_1_1(chunk, startPos);
  int pos = startPos;
  if (hasMarker) {
    pos = chunk.ReadValue(&program, startPos + kMagicLength);
    std::string name;
    if (pos >= 0) pos = chunk.ReadString(name, pos);
    if (pos < 0) name.clear();
    if (restoringHostState && program >= 0 && program < NPresets()) {
      if (name.size() > kMaxChunkNameLength) name.resize(kMaxChunkNameLength);
      std::snprintf(GetPreset(program).name, IPreset::kNameSize, "%s", name.c_str());
    }
  }
  for (int i = 0; i < kNumParams && pos >= 0; ++i) {
    double value = 0.0;
    const int next = chunk.ReadValue(&value, pos);
    GetParam(i)->SetValue(next >= 0 ? value : 0.0);
    pos = next;
  }
  OnParamReset(EParamSource::kPresetRecall);

  // A host project brings back its selected program; that program then holds this sound.
  if (hasMarker && restoringHostState && program >= 0 && program < NPresets() &&
      program != GetCurrentPresetIdx()) {
    mCurrentPreset = program;
    IPreset& preset = GetPreset(program);
    preset.chunk.Clear();
    SerializeState(preset.chunk);
    preset.initialized = true;
  }
  return pos;
}

int Varnel::unserializeVellsoundState(const IByteChunk& chunk, int startPos) {
  restoringHostState = true;
  const int pos = UnserializeState(chunk, startPos);
  restoringHostState = false;
  return pos;
}
