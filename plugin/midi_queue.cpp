#include "plugin/midi_queue.h"

#include <algorithm>

void MidiQueue::reserveForBlock(int blockSize) {
  compactAndShift(0);
  // Whole pages of messages, and never less than what is queued.
  const int perPage = static_cast<int>(4096 / sizeof(IMidiMsg));
  int capacity = ((std::max(blockSize, 1) + perPage - 1) / perPage) * perPage;
  capacity = std::max({capacity, mCount, 512});
  mMessages.resize(static_cast<size_t>(capacity));
}

bool MidiQueue::add(const IMidiMsg& msg) {
  if (mCount >= static_cast<int>(mMessages.size())) {
    compactAndShift(0);
    if (mCount >= static_cast<int>(mMessages.size())) return false;
  }
  int pos = mCount;
  while (pos > mFront && mMessages[static_cast<size_t>(pos - 1)].offset > msg.offset) {
    mMessages[static_cast<size_t>(pos)] = mMessages[static_cast<size_t>(pos - 1)];
    --pos;
  }
  mMessages[static_cast<size_t>(pos)] = msg;
  ++mCount;
  return true;
}

void MidiQueue::compactAndShift(int period) {
  int out = 0;
  for (int i = mFront; i < mCount; ++i) {
    IMidiMsg msg = mMessages[static_cast<size_t>(i)];
    msg.offset -= period;
    mMessages[static_cast<size_t>(out++)] = msg;
  }
  mFront = 0;
  mCount = out;
}
