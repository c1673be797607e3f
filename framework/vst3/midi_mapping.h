#pragma once
// The hidden parameters through which VST3 hosts deliver MIDI controllers, channel aftertouch
// and pitch bend, and their conversion back into MIDI messages.
#include "framework/core/midi_msg.h"

#include <cstdint>

namespace MidiMapping {
constexpr uint32_t kFirstParamId = 65538;
constexpr int kChannels = 16;
constexpr int kNumbersPerChannel = 130; // 128 controllers, channel aftertouch, pitch bend
constexpr int kAftertouch = 128;
constexpr int kPitchBend = 129;
constexpr int kNumParams = kChannels * kNumbersPerChannel;

// The parameter ID of a mapping request; false for anything but bus 0, channel 0..15,
// number 0..129.
bool ParamIdFor(int bus, int channel, int number, uint32_t& id);
bool IsMappingParam(uint32_t id);
int ChannelOf(uint32_t id);
int NumberOf(uint32_t id);
const char* ControllerName(int number);
double DefaultNormalized(int number);

// A normalised 0..1 value as a 7-bit MIDI value, rounded to the nearest step.
uint8_t ToMidi7(double v);
// The 14-bit pitch-bend value of a normalised parameter value (0.5 is the centre, 8192).
int PitchBend14(double v);
IMidiMsg MessageFor(uint32_t id, double value, int offset);
} // namespace MidiMapping
