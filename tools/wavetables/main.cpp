// varnel-wavetables OUT.cpp: writes the generators' wavetables as C++ source, every value as an
// exact hexadecimal floating-point literal, so the engine starts without computing them.
#include "dsp/wavetable_build.h"

#include <cstdio>
#include <memory>

namespace {

void writeTable(std::FILE* out, const char* name, const double* table) {
  std::fprintf(out, "alignas(64) const double %s[kWavetableLevels * kWavetableSize] = {\n", name);
  for (int i = 0; i < kWavetableLevels * kWavetableSize; ++i)
    std::fprintf(out, "%a,%s", table[i], i % 4 == 3 ? "\n" : " ");
  std::fprintf(out, "};\n");
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: varnel-wavetables OUT.cpp\n");
    return 2;
  }
  std::unique_ptr<double[]> saw(new double[kWavetableLevels * kWavetableSize]);
  std::unique_ptr<double[]> tri(new double[kWavetableLevels * kWavetableSize]);
  buildWavetables(saw.get(), tri.get());
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "// Made by varnel-wavetables at build time; do not edit.\n");
  std::fprintf(out, "#include \"dsp/wavetable_build.h\"\n\n");
  writeTable(out, "kSawWavetable", saw.get());
  writeTable(out, "kTriWavetable", tri.get());
  const bool ok = std::fclose(out) == 0;
  if (!ok) std::perror(argv[1]);
  return ok ? 0 : 1;
}
