#pragma once
// An in-place radix-2 FFT for the spectrogram and for tests that measure spectra.
#include <complex>
#include <vector>

namespace vrender {

// data.size() must be a power of two.
void fft(std::vector<std::complex<double>>& data);

// Magnitudes of bins 0..n/2 of a Hann-windowed frame, scaled so a full-scale sine reads 1.
std::vector<double> magnitudeSpectrum(const std::vector<double>& frame);

} // namespace vrender
