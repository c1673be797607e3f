#pragma once
// The band-limited wavetables of the signal generators, computed from their harmonic series.
// The build runs this once (varnel-wavetables) and compiles the result into the engine, so an
// instance starts without the work; the engine's tests check the compiled tables against it.

constexpr int kWavetableLevels = 12;
constexpr int kWavetableSize = 4096;

// Fills saw and tri, kWavetableLevels levels of kWavetableSize entries each, level L at
// kWavetableSize * L; level 11 stays silent.
void buildWavetables(double* saw, double* tri);

// The compiled tables (wavetable_data.cpp, made by the build).
extern const double kSawWavetable[kWavetableLevels * kWavetableSize];
extern const double kTriWavetable[kWavetableLevels * kWavetableSize];
