#include "plugin/varnel.h"

#include <algorithm>
#include <cstring>

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
    // Read in place: a program change on the audio thread must not allocate.
    pos = chunk.ReadValue(&program, startPos + kMagicLength);
    int32_t nameLength = 0;
    if (pos >= 0) pos = chunk.ReadValue(&nameLength, pos);
    const char* name = "";
    size_t nameSize = 0;
    if (pos >= 0 && nameLength >= 0 && static_cast<int64_t>(pos) + nameLength <= chunk.Size()) {
      name = reinterpret_cast<const char*>(chunk.GetData() + pos);
      nameSize = strnlen(name, static_cast<size_t>(nameLength));
      pos += nameLength;
    } else {
      pos = -1;
    }
    if (restoringHostState && program >= 0 && program < NPresets()) {
      nameSize = std::min(nameSize, static_cast<size_t>(kMaxChunkNameLength));
      char* target = GetPreset(program).name;
      std::memcpy(target, name, nameSize);
      target[nameSize] = '\0';
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
