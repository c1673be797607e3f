#include "framework/vst3/event_midi.h"

#include "framework/vst3/midi_mapping.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
bool validChannelPitch(int16 channel, int16 pitch) {
  return channel >= 0 && channel < 16 && pitch >= 0 && pitch < 128;
}

void setMsg(IMidiMsg& msg, int status, int16 channel, int data1, int data2, int32 offset) {
  msg.offset = offset;
  msg.status = static_cast<uint8_t>(status + channel);
  msg.data1 = static_cast<uint8_t>(data1);
  msg.data2 = static_cast<uint8_t>(data2);
}
} // namespace

bool MidiMsgFromEvent(const Event& event, IMidiMsg& msg) {
  switch (event.type) {
  case Event::kNoteOnEvent: {
    const NoteOnEvent& e = event.noteOn;
    if (!validChannelPitch(e.channel, e.pitch)) return false;
    setMsg(msg, 0x90, e.channel, e.pitch, MidiMapping::ToMidi7(e.velocity), event.sampleOffset);
    return true;
  }
  case Event::kNoteOffEvent: {
    const NoteOffEvent& e = event.noteOff;
    if (!validChannelPitch(e.channel, e.pitch)) return false;
    setMsg(msg, 0x80, e.channel, e.pitch, 0, event.sampleOffset);
    return true;
  }
  case Event::kPolyPressureEvent: {
    const PolyPressureEvent& e = event.polyPressure;
    if (!validChannelPitch(e.channel, e.pitch)) return false;
    setMsg(msg, 0xA0, e.channel, e.pitch, MidiMapping::ToMidi7(e.pressure), event.sampleOffset);
    return true;
  }
  default:
    return false;
  }
}

bool EventFromMidiMsg(const IMidiMsg& msg, Event& event) {
  std::memset(&event, 0, sizeof(event));
  event.busIndex = 0;
  event.sampleOffset = msg.offset;
  const int16 channel = static_cast<int16>(msg.Channel());
  const int data1 = msg.data1 & 0x7F;
  const int data2 = msg.data2 & 0x7F;
  switch (msg.StatusMsg()) {
  case 0x9:
    if (data2 > 0) {
      event.type = Event::kNoteOnEvent;
      event.noteOn = {channel, static_cast<int16>(data1), 0.f, data2 / 127.f, 0, -1};
      return true;
    }
    [[fallthrough]]; // velocity 0 is a note-off in MIDI
  case 0x8:
    event.type = Event::kNoteOffEvent;
    event.noteOff = {channel, static_cast<int16>(data1), data2 / 127.f, -1, 0.f};
    return true;
  case 0xA:
    event.type = Event::kPolyPressureEvent;
    event.polyPressure = {channel, static_cast<int16>(data1), data2 / 127.f, -1};
    return true;
  case 0xB:
  case 0xC:
  case 0xD:
  case 0xE: {
    event.type = Event::kLegacyMIDICCOutEvent;
    LegacyMIDICCOutEvent& cc = event.midiCCOut;
    cc.channel = static_cast<int8>(channel);
    cc.value = static_cast<int8>(data1);
    cc.value2 = static_cast<int8>(data2);
    if (msg.StatusMsg() == 0xB) {
      cc.controlNumber = static_cast<uint8>(data1);
      cc.value = static_cast<int8>(data2);
      cc.value2 = 0;
    } else if (msg.StatusMsg() == 0xC) {
      cc.controlNumber = kCtrlProgramChange;
    } else if (msg.StatusMsg() == 0xD) {
      cc.controlNumber = kAfterTouch;
    } else {
      cc.controlNumber = kPitchBend;
    }
    return true;
  }
  default:
    return false;
  }
}
