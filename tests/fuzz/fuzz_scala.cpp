// Scala files: any bytes read to a scale of finite positive ratios (or none), never a crash.
#include "store/scala_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  {
    ScalaScaleFile file(text, size);
    ScalaScale scale;
    if (ReadScalaScale(file, scale)) {
      if (scale.noteCount <= 0 || scale.pitchCount < 1 || scale.pitchCount > 12) std::abort();
      for (double ratio : scale.ratios)
        if (!(ratio >= 0.0) || !std::isfinite(ratio)) std::abort();
    }
  }
  {
    // The token reader on its own, with small buffers.
    ScalaScaleFile file(text, size);
    char buffer[4];
    for (int i = 0; i < 64; ++i) {
      const int n = file.ReadVal(buffer, sizeof buffer);
      if (n < 0 || n > static_cast<int>(sizeof buffer)) std::abort();
      if (n == 0 && file.SkipComments() < 0) break;
    }
  }
  return 0;
}
