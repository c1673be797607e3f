#include "plugin/varnel.h"

#include <cstring>

namespace {
constexpr char kVersionMagic[] = "Varnel_1.1.1";
constexpr int kMagicLength = sizeof(kVersionMagic) - 1;

// A host state read whole before any of it is applied.
struct HostState {
  bool hasMarker = false;
  int32_t program = -1;
  const char* name = "";
  size_t nameLength = 0;
  double values[kNumParams] = {};
};

// Returns the position after the state, or -1 when any part of it is missing.
int parseHostState(const IByteChunk& chunk, int startPos, HostState& state) {
  int pos = startPos;
  state.hasMarker = Varnel::isNewVersion_1_1_1(chunk, startPos);
  if (state.hasMarker) {
    pos = chunk.ReadValue(&state.program, startPos + kMagicLength);
    int32_t nameLength = 0;
    if (pos >= 0) pos = chunk.ReadValue(&nameLength, pos);
    if (pos < 0 || nameLength < 0 || static_cast<int64_t>(pos) + nameLength > chunk.Size())
      return -1;
    state.name = reinterpret_cast<const char*>(chunk.GetData() + pos);
    state.nameLength = strnlen(state.name, static_cast<size_t>(nameLength));
    pos += nameLength;
  }
  for (double& value : state.values) {
    pos = chunk.ReadValue(&value, pos);
    if (pos < 0) return -1;
  }
  return pos;
}
} // namespace

bool Varnel::isNewVersion_1_1_1(const IByteChunk& chunk, int pos) {
  return pos >= 0 && static_cast<int64_t>(pos) + kMagicLength <= chunk.Size() &&
         std::memcmp(chunk.GetData() + pos, kVersionMagic, kMagicLength) == 0;
}

bool Varnel::SerializeState(IByteChunk& chunk) const {
  // The name is read in place: filling an empty program on the audio thread must not allocate.
  const ProgramStoreLock store(*this);
  chunk.AppendBytes(kVersionMagic, kMagicLength);
  const int32_t program = GetCurrentPresetIdx();
  chunk.AppendValue(&program);
  const bool named = store.Owned() && program >= 0 && program < NPresets();
  const char* name = named ? GetPreset(program).name : "";
  const int32_t nameLength = static_cast<int32_t>(strnlen(name, IPreset::kNameSize));
  chunk.AppendValue(&nameLength);
  chunk.AppendBytes(name, nameLength);
  for (int i = 0; i < kNumParams; ++i) {
    const double value = GetParam(i)->GetValue();
    chunk.AppendValue(&value);
  }
  return chunk.Size() > 0;
}

// Programs, program and bank files and paste: the values only, as far as the chunk goes.
int Varnel::UnserializeState(const IByteChunk& chunk, int startPos) {
  int pos = startPos;
  if (isNewVersion_1_1_1(chunk, startPos)) {
    // Read in place: a program change on the audio thread must not allocate.
    int32_t program = 0, nameLength = 0;
    pos = chunk.ReadValue(&program, startPos + kMagicLength);
    if (pos >= 0) pos = chunk.ReadValue(&nameLength, pos);
    if (pos >= 0 && nameLength >= 0 && static_cast<int64_t>(pos) + nameLength <= chunk.Size())
      pos += nameLength;
    else
      pos = -1;
  }
  for (int i = 0; i < kNumParams && pos >= 0; ++i) {
    double value = 0.0;
    const int next = chunk.ReadValue(&value, pos);
    GetParam(i)->SetValue(next >= 0 ? value : 0.0);
    pos = next;
  }
  OnParamReset(EParamSource::kPresetRecall);
  return pos;
}

// The host's project: the sound, and the program that was selected with its name. A state
// that is not whole is refused and changes nothing.
int Varnel::unserializeVellsoundState(const IByteChunk& chunk, int startPos) {
  HostState state;
  const int end = parseHostState(chunk, startPos, state);
  if (end < 0) return -1;

  const ProgramStoreLock store(*this);
  if (!store.Owned()) return -1;
  for (int i = 0; i < kNumParams; ++i) GetParam(i)->SetValue(state.values[i]);
  // An index outside the bank (never written by this instrument) brings back the sound only.
  const bool withProgram = state.hasMarker && state.program >= 0 && state.program < NPresets();
  if (withProgram) SetPresetName(state.program, state.name, state.nameLength);
  OnParamReset(EParamSource::kPresetRecall);

  // A host project brings back its selected program; that program then holds this sound.
  if (withProgram && state.program != GetCurrentPresetIdx()) {
    SetCurrentPresetIdx(state.program);
    IPreset& preset = GetPreset(state.program);
    preset.chunk.Clear();
    SerializeState(preset.chunk);
    preset.initialized = true;
  }
  return end;
}
