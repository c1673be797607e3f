#pragma once
// MIDI messages waiting for the control period in which they are due, ordered by offset.
// Storage is reserved at reset so that queueing on the audio thread never allocates.
#include "framework/core/midi_msg.h"

#include <cstddef>
#include <vector>

class MidiQueue {
public:
  // Drops consumed messages and makes room for one block of messages (at least 512).
  void reserveForBlock(int blockSize);
  // Inserts behind every message with an equal or smaller offset; false when full.
  bool add(const IMidiMsg& msg);
  bool empty() const { return mFront == mCount; }
  const IMidiMsg& front() const { return mMessages[static_cast<size_t>(mFront)]; }
  void popFront() { ++mFront; }
  // Removes consumed messages and moves the rest one control period closer.
  void compactAndShift(int period);
  int size() const { return mCount - mFront; }
  void clear() { mFront = mCount = 0; }

private:
  std::vector<IMidiMsg> mMessages;
  int mFront = 0;
  int mCount = 0;
};
