#include "tools/render/bench_reference.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

namespace vrender {

double threadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

double referenceNsPerVoiceSample(double seconds) {
  constexpr int kVoices = 64;
  constexpr int kBlock = 512;
  constexpr double kRate = 48000.0;
  std::vector<double> phase(kVoices), increment(kVoices), lowpass(kVoices), out(kBlock);
  for (int v = 0; v < kVoices; ++v) increment[v] = 440.0 * std::pow(2.0, (v - 32) / 12.0) / kRate;
  volatile double sink = 0.0;
  long long samples = 0;
  const double t0 = threadCpuNs();
  double t1 = t0;
  do {
    for (int repeat = 0; repeat < 16; ++repeat) {
      std::fill(out.begin(), out.end(), 0.0);
      for (int v = 0; v < kVoices; ++v) {
        double p = phase[v], y = lowpass[v];
        for (int j = 0; j < kBlock; ++j) {
          p += increment[v];
          p -= std::floor(p);
          y += 0.2 * (2.0 * p - 1.0 - y);
          out[j] += y;
        }
        phase[v] = p;
        lowpass[v] = y;
      }
      sink = sink + out[kBlock - 1];
      samples += static_cast<long long>(kBlock) * kVoices;
    }
    t1 = threadCpuNs();
  } while (t1 - t0 < seconds * 1e9);
  return (t1 - t0) / static_cast<double>(samples);
}

} // namespace vrender
