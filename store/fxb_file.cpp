#include "store/fxb_file.h"

#include "store/fx_format.h"
#include "store/fxp_file.h"

#include <algorithm>

namespace {
constexpr size_t kNumProgramsOffset = 24;
constexpr size_t kCurrentProgramOffset = 28;
constexpr size_t kReservedOffset = 32;
constexpr size_t kChunkSizeOffset = 156;
constexpr size_t kChunkOffset = 160;
constexpr size_t kFirstProgramOffset = 156;

bool loadChunkBank(PluginBase& plug, const fx::ByteView& file) {
  size_t start = 0;
  if (!fx::ChunkPayloadStart(file, kChunkOffset, start)) return false;
  IByteChunk chunk;
  chunk.AppendBytes(file.Data(), static_cast<int>(file.Size()));
  // The file's current program is not taken over: the current one stays.
  return plug.UnserializePresets(chunk, static_cast<int>(start)) != PluginBase::kNoPresetRead;
}

bool isParamsProgram(const PluginBase& plug, const fx::ByteView& file, size_t at) {
  int32_t magic = 0, type = 0, version = 0, nParams = 0;
  return file.Has(at, FXPParamsProgramSize(plug.NParams())) && file.ReadBE32(at, magic) &&
         magic == fx::kChunkMagic && file.ReadBE32(at + 8, type) &&
         type == fx::kProgramParamsType && file.ReadBE32(at + 12, version) && version == 1 &&
         file.ReadBE32(at + 24, nParams) && nParams == plug.NParams();
}

bool loadParamsBank(PluginBase& plug, const fx::ByteView& file) {
  int32_t nPrograms = 0, current = 0;
  file.ReadBE32(kNumProgramsOffset, nPrograms);
  file.ReadBE32(kCurrentProgramOffset, current);
  if (nPrograms <= 0) {
    plug.RestorePreset(current);
    return true;
  }
  // Programs beyond the bank's size are ignored.
  const int count = std::min(nPrograms, plug.NPresets());
  const size_t programSize = FXPParamsProgramSize(plug.NParams());
  // Every program is checked before the first one is loaded, so a bad one changes nothing.
  for (int i = 0; i < count; ++i)
    if (!isParamsProgram(plug, file, kFirstProgramOffset + static_cast<size_t>(i) * programSize))
      return false;

  const int previous = plug.GetCurrentPresetIdx();
  for (int i = 0; i < count; ++i) {
    const size_t at = kFirstProgramOffset + static_cast<size_t>(i) * programSize;
    const std::string name = file.ReadName(at + 28, fx::kProgramNameSize);
    plug.RestorePreset(i);
    ApplyFXPParamValues(plug, file, at, plug.NParams());
    plug.ModifyCurrentPreset(name.empty() ? nullptr : name.c_str());
  }
  if (!plug.RestorePreset(current)) plug.RestorePreset(previous);
  return true;
}
} // namespace

bool MakeBankFXB(const PluginBase& plug, IByteChunk& file) {
  IByteChunk payload;
  if (!plug.SerializePresets(payload)) return false;
  file.Clear();
  fx::AppendHeader(file, fx::kBankChunkType, 2, plug.GetConfig(), plug.NPresets(), kChunkOffset,
                   payload);
  fx::AppendBE32(file, plug.GetCurrentPresetIdx());
  const uint8_t reserved[kChunkSizeOffset - kReservedOffset] = {};
  file.AppendBytes(reserved, static_cast<int>(sizeof(reserved)));
  fx::AppendChunk(file, payload);
  return true;
}

bool SaveBankAsFXB(const PluginBase& plug, const std::string& path) {
  if (path.empty()) return false;
  IByteChunk file;
  return MakeBankFXB(plug, file) && fx::WriteWholeFile(path, file);
}

bool LoadBankFromFXBData(PluginBase& plug, const uint8_t* data, size_t size) {
  if ((!data && size > 0) || size > fx::kMaxFileSize) return false;
  const fx::ByteView file(data, size);
  int32_t magic = 0, type = 0, id = 0;
  if (!file.ReadBE32(0, magic) || magic != fx::kChunkMagic) return false;
  if (!file.ReadBE32(16, id) || id != plug.GetConfig().uniqueID) return false;
  file.ReadBE32(8, type);
  // One owner for the whole load: the engine hears the final program once, not every one.
  const PluginBase::ProgramStoreLock store(plug);
  if (type == fx::kBankChunkType) return loadChunkBank(plug, file);
  if (type == fx::kBankParamsType) {
    // The program count and the current program are part of the header.
    if (!file.Has(0, kReservedOffset)) return false;
    return loadParamsBank(plug, file);
  }
  return false;
}

bool LoadBankFromFXB(PluginBase& plug, const std::string& path) {
  IByteChunk file;
  if (!fx::ReadWholeFile(path, file)) return false;
  return LoadBankFromFXBData(plug, file.GetData(), static_cast<size_t>(file.Size()));
}
