#include "tools/render/fft.h"

#include <cmath>
#include <stdexcept>

namespace vrender {

void fft(std::vector<std::complex<double>>& data) {
  const size_t n = data.size();
  if (n == 0 || (n & (n - 1)) != 0) throw std::invalid_argument("fft size must be a power of two");
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j |= bit;
    if (i < j) std::swap(data[i], data[j]);
  }
  // Twiddles from one table of direct sines and cosines keep large sizes accurate.
  std::vector<std::complex<double>> twiddle(n / 2);
  for (size_t k = 0; k < n / 2; ++k)
    twiddle[k] = std::polar(1.0, -2.0 * M_PI * static_cast<double>(k) / static_cast<double>(n));
  for (size_t len = 2; len <= n; len <<= 1) {
    const size_t stride = n / len;
    for (size_t i = 0; i < n; i += len) {
      for (size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> a = data[i + k];
        const std::complex<double> b = data[i + k + len / 2] * twiddle[k * stride];
        data[i + k] = a + b;
        data[i + k + len / 2] = a - b;
      }
    }
  }
}

std::vector<double> magnitudeSpectrum(const std::vector<double>& frame) {
  const size_t n = frame.size();
  std::vector<std::complex<double>> data(n);
  double windowSum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / n);
    windowSum += w;
    data[i] = frame[i] * w;
  }
  fft(data);
  std::vector<double> mags(n / 2 + 1);
  const double scale = windowSum > 0.0 ? 2.0 / windowSum : 0.0;
  for (size_t k = 0; k <= n / 2; ++k) mags[k] = std::abs(data[k]) * scale;
  return mags;
}

} // namespace vrender
