#include "framework/vst3/midi_mapping.h"

#include <algorithm>
#include <cmath>

namespace MidiMapping {
namespace {
const char* const kControllerNames[128] = {"Bank Select MSB",
                                           "Modulation Wheel",
                                           "Breath Controller",
                                           "Controller 3",
                                           "Foot Controller",
                                           "Portamento Time",
                                           "Data Entry MSB",
                                           "Channel Volume",
                                           "Balance",
                                           "Controller 9",
                                           "Pan",
                                           "Expression",
                                           "Effect Control 1",
                                           "Effect Control 2",
                                           "Controller 14",
                                           "Controller 15",
                                           "General Purpose 1",
                                           "General Purpose 2",
                                           "General Purpose 3",
                                           "General Purpose 4",
                                           "Controller 20",
                                           "Controller 21",
                                           "Controller 22",
                                           "Controller 23",
                                           "Controller 24",
                                           "Controller 25",
                                           "Controller 26",
                                           "Controller 27",
                                           "Controller 28",
                                           "Controller 29",
                                           "Controller 30",
                                           "Controller 31",
                                           "Bank Select LSB",
                                           "Modulation Wheel LSB",
                                           "Breath Controller LSB",
                                           "Controller 35 (LSB of 3)",
                                           "Foot Controller LSB",
                                           "Portamento Time LSB",
                                           "Data Entry LSB",
                                           "Channel Volume LSB",
                                           "Balance LSB",
                                           "Controller 41 (LSB of 9)",
                                           "Pan LSB",
                                           "Expression LSB",
                                           "Effect Control 1 LSB",
                                           "Effect Control 2 LSB",
                                           "Controller 46 (LSB of 14)",
                                           "Controller 47 (LSB of 15)",
                                           "General Purpose 1 LSB",
                                           "General Purpose 2 LSB",
                                           "General Purpose 3 LSB",
                                           "General Purpose 4 LSB",
                                           "Controller 52 (LSB of 20)",
                                           "Controller 53 (LSB of 21)",
                                           "Controller 54 (LSB of 22)",
                                           "Controller 55 (LSB of 23)",
                                           "Controller 56 (LSB of 24)",
                                           "Controller 57 (LSB of 25)",
                                           "Controller 58 (LSB of 26)",
                                           "Controller 59 (LSB of 27)",
                                           "Controller 60 (LSB of 28)",
                                           "Controller 61 (LSB of 29)",
                                           "Controller 62 (LSB of 30)",
                                           "Controller 63 (LSB of 31)",
                                           "Sustain Pedal",
                                           "Portamento On/Off",
                                           "Sostenuto",
                                           "Soft Pedal",
                                           "Legato Footswitch",
                                           "Hold 2",
                                           "Sound Variation",
                                           "Timbre/Harmonic Intensity",
                                           "Release Time",
                                           "Attack Time",
                                           "Brightness",
                                           "Decay Time",
                                           "Vibrato Rate",
                                           "Vibrato Depth",
                                           "Vibrato Delay",
                                           "Sound Controller 10",
                                           "General Purpose 5",
                                           "General Purpose 6",
                                           "General Purpose 7",
                                           "General Purpose 8",
                                           "Portamento Control",
                                           "Controller 85",
                                           "Controller 86",
                                           "Controller 87",
                                           "High Resolution Velocity Prefix",
                                           "Controller 89",
                                           "Controller 90",
                                           "Reverb Send Level",
                                           "Tremolo Depth",
                                           "Chorus Send Level",
                                           "Celeste Depth",
                                           "Phaser Depth",
                                           "Data Increment",
                                           "Data Decrement",
                                           "NRPN LSB",
                                           "NRPN MSB",
                                           "RPN LSB",
                                           "RPN MSB",
                                           "Controller 102",
                                           "Controller 103",
                                           "Controller 104",
                                           "Controller 105",
                                           "Controller 106",
                                           "Controller 107",
                                           "Controller 108",
                                           "Controller 109",
                                           "Controller 110",
                                           "Controller 111",
                                           "Controller 112",
                                           "Controller 113",
                                           "Controller 114",
                                           "Controller 115",
                                           "Controller 116",
                                           "Controller 117",
                                           "Controller 118",
                                           "Controller 119",
                                           "All Sound Off",
                                           "Reset All Controllers",
                                           "Local Control",
                                           "All Notes Off",
                                           "Omni Mode Off",
                                           "Omni Mode On",
                                           "Mono Mode On",
                                           "Poly Mode On"};

// Host values outside 0..1 (or NaN) are not trusted to stay in range.
double clampUnit(double v) {
  return std::isnan(v) ? 0.0 : std::min(std::max(v, 0.0), 1.0);
}
} // namespace

bool ParamIdFor(int bus, int channel, int number, uint32_t& id) {
  if (bus != 0 || channel < 0 || channel >= kChannels || number < 0 || number >= kNumbersPerChannel)
    return false;
  id = kFirstParamId + static_cast<uint32_t>(kNumbersPerChannel * channel + number);
  return true;
}

bool IsMappingParam(uint32_t id) {
  return id >= kFirstParamId && id < kFirstParamId + static_cast<uint32_t>(kNumParams);
}

int ChannelOf(uint32_t id) {
  return static_cast<int>(id - kFirstParamId) / kNumbersPerChannel;
}
int NumberOf(uint32_t id) {
  return static_cast<int>(id - kFirstParamId) % kNumbersPerChannel;
}

const char* ControllerName(int number) {
  if (number == kAftertouch) return "Channel Aftertouch";
  if (number == kPitchBend) return "Pitch Bend";
  if (number < 0 || number > 127) return "";
  return kControllerNames[number];
}

double DefaultNormalized(int number) {
  return number == kPitchBend ? 0.5 : 0.0;
}

uint8_t ToMidi7(double v) {
  return static_cast<uint8_t>(std::lround(clampUnit(v) * 127.0));
}

int PitchBend14(double v) {
  const int x = static_cast<int>(std::trunc((2.0 * clampUnit(v) - 1.0) * 8192.0));
  if (x < -8191) return 0;
  return std::min(x + 8192, 16383);
}

IMidiMsg MessageFor(uint32_t id, double value, int offset) {
  const int channel = ChannelOf(id);
  const int number = NumberOf(id);
  IMidiMsg msg;
  msg.offset = offset;
  if (number == kPitchBend) {
    const int bend = PitchBend14(value);
    msg.status = static_cast<uint8_t>(0xE0 + channel);
    msg.data1 = static_cast<uint8_t>(bend & 0x7F);
    msg.data2 = static_cast<uint8_t>(bend >> 7);
  } else if (number == kAftertouch) {
    msg.status = static_cast<uint8_t>(0xD0 + channel);
    msg.data1 = ToMidi7(value);
  } else {
    msg.status = static_cast<uint8_t>(0xB0 + channel);
    msg.data1 = static_cast<uint8_t>(number);
    msg.data2 = ToMidi7(value);
  }
  return msg;
}
} // namespace MidiMapping
