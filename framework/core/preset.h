#pragma once
// One program: a name and the state chunk it restores.
#include "framework/core/byte_chunk.h"

struct IPreset {
  static constexpr int kNameSize = 256;
  bool initialized = false;
  char name[kNameSize] = "empty";
  IByteChunk chunk;
};
