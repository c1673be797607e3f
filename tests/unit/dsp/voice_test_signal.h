#pragma once

#include <cmath>
#include <complex>
#include <vector>

#include "tools/render/fft.h"

// Measurement helpers for the generator, filter and voice tests.
namespace voice_test {

constexpr double kPi = 3.14159265358979323846;

// Magnitude spectrum of the first power-of-two samples (Hann window).
inline std::vector<double> magnitudeSpectrum(const std::vector<double>& signal, size_t size) {
  std::vector<std::complex<double>> a(size);
  for (size_t i = 0; i < size; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / size);
    a[i] = signal[i] * w;
  }
  vrender::fft(a);
  std::vector<double> mag(size / 2);
  for (size_t i = 0; i < size / 2; ++i) mag[i] = std::abs(a[i]);
  return mag;
}

// Frequency of the strongest spectral peak above minHz, refined by parabolic interpolation.
inline double peakFrequency(const std::vector<double>& signal, size_t size, double sampleRate,
                            double minHz = 5.0) {
  const auto mag = magnitudeSpectrum(signal, size);
  size_t best = 1;
  for (size_t i = 1; i + 1 < mag.size(); ++i)
    if (i * sampleRate / size >= minHz && mag[i] > mag[best]) best = i;
  const double l = std::log(mag[best - 1] + 1e-300), c = std::log(mag[best] + 1e-300),
               r = std::log(mag[best + 1] + 1e-300);
  const double shift = 0.5 * (l - r) / (l - 2 * c + r);
  return (best + shift) * sampleRate / size;
}

// Frequency from rising zero crossings (linear interpolation between samples).
inline double zeroCrossingFrequency(const std::vector<double>& s, double sampleRate) {
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      const double t = (i - 1) + s[i - 1] / (s[i - 1] - s[i]);
      if (first < 0) first = t;
      last = t;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * sampleRate / (last - first) : 0.0;
}

inline double rms(const std::vector<double>& s, size_t from = 0) {
  double sum = 0;
  for (size_t i = from; i < s.size(); ++i) sum += s[i] * s[i];
  return std::sqrt(sum / double(s.size() - from));
}

inline bool hasSubnormalOrNan(const std::vector<double>& s) {
  for (double v : s)
    if (std::isnan(v) || std::fpclassify(v) == FP_SUBNORMAL) return true;
  return false;
}

} // namespace voice_test
