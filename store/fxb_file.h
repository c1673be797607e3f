#pragma once
// FXB bank files: the chunk form ("FBCh", the bank payload of the program store) is written and
// read, the parameter-list form ("FxBk", a row of "FxCk" programs) is read.
#include "framework/core/byte_chunk.h"
#include "framework/core/plugin_base.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The stored states of all programs, as a complete file.
bool MakeBankFXB(const PluginBase& plug, IByteChunk& file);
bool SaveBankAsFXB(const PluginBase& plug, const std::string& path);

// Loads a whole bank. A file that is refused changes nothing; a chunk bank whose payload ends
// early loads the programs it holds whole.
bool LoadBankFromFXBData(PluginBase& plug, const uint8_t* data, size_t size);
bool LoadBankFromFXB(PluginBase& plug, const std::string& path);
