#pragma once
// VST3 note events to 3-byte MIDI messages and the plug-in's MIDI output back to events.
#include "framework/core/midi_msg.h"
#include "pluginterfaces/vst/ivstevents.h"

// False for events that are not note-on, note-off or poly pressure, or that carry a channel or
// pitch outside MIDI's range. The offset is taken from the event unchanged.
bool MidiMsgFromEvent(const Steinberg::Vst::Event& event, IMidiMsg& msg);
// False for messages VST3 has no output event for.
bool EventFromMidiMsg(const IMidiMsg& msg, Steinberg::Vst::Event& event);
