// The state reader takes whatever a host or a file hands it.
#include "plugin/varnel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Varnel* plug = new Varnel();
  IByteChunk chunk;
  chunk.AppendBytes(data, static_cast<int>(size));
  plug->unserializeVellsoundState(chunk, 0);
  plug->UnserializeState(chunk, size > 0 ? data[0] % 16 : 0);
  IByteChunk out;
  plug->SerializeState(out);
  return 0;
}
