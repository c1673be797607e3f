#pragma once
// What varnel-render plays: MIDI channel events placed on sample frames.
#include <cstdint>
#include <vector>

namespace vrender {

struct ScoreEvent {
  enum class Kind { NoteOn, NoteOff, Controller, PitchBend, ChannelPressure, PolyPressure };
  int64_t frame = 0;
  Kind kind = Kind::NoteOn;
  int channel = 0;
  int data1 = 0; // note or controller number
  int data2 = 0; // velocity, controller value, pressure, or the 14-bit bend value
};

struct Score {
  std::vector<ScoreEvent> events; // in frame order; equal frames keep their order
  int64_t endFrame = 0;           // the end of the music (last event or the file's end)
  double tempo = 120.0;           // beats per minute for the host transport
};

// Orders events by frame (stable) and moves endFrame to at least the last event.
void finishScore(Score& score);

} // namespace vrender
