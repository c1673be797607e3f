#pragma once
// The built-in temperaments as absolute positions in cents of scale degrees 1..12, where degree k
// is the pitch class k semitones above A (degree 12 is A, the octave). A degree's deviation from
// equal temperament is its position minus 100 * k.

constexpr int kMicroTuningPresetCount = 14;
constexpr int kMicroTuningDegrees = 12;
constexpr double kMicroTuningMatchTolerance = 0.00001;

extern const double kMicroTuningPresets[kMicroTuningPresetCount][kMicroTuningDegrees];
extern const char* const kMicroTuningPresetNames[kMicroTuningPresetCount];

// Deviation in cents of `degree` (1..12) under `preset` (0..13).
double MicroTuningPresetDeviation(int preset, int degree);

// The first preset whose deviations all lie within the tolerance of `deviations` (degree order,
// index 0 = degree 1), or -1.
int FindMicroTuningPreset(const double deviations[kMicroTuningDegrees]);
