#pragma once

// Engine pitch unit: 1/128 semitone, pitch 0 is MIDI note 0 (8.176 Hz), 1536 units per octave.

constexpr int kPitchPerSemitone = 128;
constexpr int kPitchPerOctave = 1536;
// Highest pitch that still interpolates; above it the conversion holds 19912.127 Hz.
constexpr int kMaxPitch = 17279;

// Pitch units to Hertz by linear interpolation between semitones. Pitches above kMaxPitch
// give 19912.127 Hz, pitches below -kMaxPitch give 0.0033570162 Hz.
double convert2Hz(int pitch);
