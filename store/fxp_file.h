#pragma once
// FXP program files: the chunk form ("FPCh") is written and read, the parameter-list form
// ("FxCk") is read.
#include "framework/core/byte_chunk.h"
#include "framework/core/plugin_base.h"
#include "store/fx_format.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The live state under the current program's name, as a complete file.
bool MakePresetFXP(const PluginBase& plug, IByteChunk& file);
bool SavePresetAsFXP(const PluginBase& plug, const std::string& path);

// Loads one program into the current program. A file that is refused changes nothing.
bool LoadPresetFromFXPData(PluginBase& plug, const uint8_t* data, size_t size);
bool LoadPresetFromFXP(PluginBase& plug, const std::string& path);

// The fixed length of a parameter-list program holding nValues values.
constexpr size_t FXPParamsProgramSize(int nValues) {
  return 56 + 4 * static_cast<size_t>(nValues);
}

// Sets plain values from the normalised big-endian floats of the parameter-list program at
// programStart (nValues of them, already known to be in the file); no handler runs.
void ApplyFXPParamValues(PluginBase& plug, const fx::ByteView& file, size_t programStart,
                         int nValues);
