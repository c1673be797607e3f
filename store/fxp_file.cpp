#include "store/fxp_file.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr size_t kNameOffset = 28;
constexpr size_t kChunkOffset = 60;
constexpr size_t kValuesOffset = 56;
} // namespace

bool MakePresetFXP(const PluginBase& plug, IByteChunk& file) {
  IByteChunk state;
  if (!plug.SerializeState(state)) return false;
  file.Clear();
  fx::AppendHeader(file, fx::kProgramChunkType, 1, plug.GetConfig(), plug.NParams(), kChunkOffset,
                   state);
  fx::AppendName(file, plug.GetPresetName(plug.GetCurrentPresetIdx()), fx::kProgramNameSize);
  fx::AppendChunk(file, state);
  return true;
}

bool SavePresetAsFXP(const PluginBase& plug, const std::string& path) {
  if (path.empty()) return false;
  IByteChunk file;
  return MakePresetFXP(plug, file) && fx::WriteWholeFile(path, file);
}

void ApplyFXPParamValues(PluginBase& plug, const fx::ByteView& file, size_t programStart,
                         int nValues) {
  for (int i = 0; i < nValues && i < plug.NParams(); ++i) {
    float normalized = 0.0f;
    if (!file.ReadBEFloat(programStart + kValuesOffset + 4 * static_cast<size_t>(i), normalized))
      return;
    IParam* param = plug.GetParam(i);
    double n = static_cast<double>(normalized);
    if (!std::isfinite(n)) n = param->GetDefault(true);
    param->SetFromNormalized(std::min(std::max(n, 0.0), 1.0));
  }
}

bool LoadPresetFromFXPData(PluginBase& plug, const uint8_t* data, size_t size) {
  if ((!data && size > 0) || size > fx::kMaxFileSize) return false;
  const fx::ByteView file(data, size);
  int32_t magic = 0, type = 0, version = 0, id = 0;
  if (!file.ReadBE32(0, magic) || magic != fx::kChunkMagic) return false;
  if (!file.ReadBE32(12, version) || version != 1) return false;
  if (!file.ReadBE32(16, id) || id != plug.GetConfig().uniqueID) return false;
  file.ReadBE32(8, type);
  // Without its name field the header is cut short: nothing to load.
  if (!file.Has(0, kNameOffset + fx::kProgramNameSize)) return false;
  const std::string name = file.ReadName(kNameOffset, fx::kProgramNameSize);
  const char* newName = name.empty() ? nullptr : name.c_str();

  if (type == fx::kProgramChunkType) {
    size_t start = 0;
    int32_t chunkSize = 0;
    if (!fx::ChunkPayloadStart(file, kChunkOffset, start) ||
        !file.ReadBE32(kChunkOffset - 4, chunkSize))
      return false;
    // Only the bytes the chunk claims; a state cut short in them is refused before any of it
    // is applied, so the program stays as it was.
    IByteChunk chunk;
    chunk.AppendBytes(data, static_cast<int>(kChunkOffset + static_cast<size_t>(chunkSize)));
    if (plug.StateEnd(chunk, static_cast<int>(start)) < 0) return false;
    plug.UnserializeState(chunk, static_cast<int>(start));
    plug.ModifyCurrentPreset(newName);
    plug.RestorePreset(plug.GetCurrentPresetIdx());
    return true;
  }

  if (type == fx::kProgramParamsType) {
    int32_t nValues = 0;
    file.ReadBE32(24, nValues);
    if (nValues <= 0) return false;
    nValues = std::min(nValues, plug.NParams());
    if (!file.Has(0, FXPParamsProgramSize(nValues))) return false;
    ApplyFXPParamValues(plug, file, 0, nValues);
    plug.ModifyCurrentPreset(newName);
    plug.RestorePreset(plug.GetCurrentPresetIdx());
    return true;
  }
  return false;
}

bool LoadPresetFromFXP(PluginBase& plug, const std::string& path) {
  IByteChunk file;
  if (!fx::ReadWholeFile(path, file)) return false;
  return LoadPresetFromFXPData(plug, file.GetData(), static_cast<size_t>(file.Size()));
}
