#include "dsp/wavetable_build.h"

#include <cmath>
#include <memory>

void buildWavetables(double* saw, double* tri) {
  constexpr int N = kWavetableSize;
  constexpr double kPi = 3.14159265358979323846;
  for (int i = 0; i < kWavetableLevels * N; ++i) saw[i] = tri[i] = 0.0;
  // Harmonic j of entry t is sin/cos at (j * t) mod N, so one period of each is enough.
  std::unique_ptr<double[]> sine(new double[N]);
  std::unique_ptr<double[]> cosine(new double[N]);
  for (int t = 0; t < N; ++t) {
    const double x = 2.0 * kPi * t / N;
    sine[t] = std::sin(x);
    cosine[t] = std::cos(x);
  }
  for (int level = 0; level <= 10; ++level) {
    const int harmonics = 1 << (10 - level);
    double* s = saw + level * N;
    double* c = tri + level * N;
    for (int t = 0; t < N; ++t) {
      s[t] = 0.5 * sine[t];
      c[t] = 0.5 * cosine[t];
    }
    for (int j = 2; j <= harmonics; ++j) {
      // A quarter of a Hamming-like window softens the top of the sawtooth's spectrum.
      const double w = 0.5 * (0.54 + 0.46 * std::cos((j - 1) * (kPi / 2) / (harmonics - 1))) / j;
      for (int t = 0; t < N; ++t) s[t] += sine[(j * t) & (N - 1)] * w;
    }
    for (int j = 3; j <= harmonics; j += 2) {
      const double w = 0.5 / (double(j) * j);
      for (int t = 0; t < N; ++t) c[t] += cosine[(j * t) & (N - 1)] * w;
    }
  }
}
