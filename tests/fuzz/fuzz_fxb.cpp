// Bank files from arbitrary bytes: refused or loaded, never read out of bounds; a refused
// file leaves the program store and the live values as they were.
#include "store/fxb_file.h"
#include "tests/fuzz/fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::CheckFileLoad(data, size, LoadBankFromFXBData, MakeBankFXB);
}
