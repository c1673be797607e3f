#pragma once
// A 3-byte MIDI message with its sample offset in the current block.
#include <cstdint>

struct IMidiMsg {
  int offset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;

  int Channel() const { return status & 0x0F; }
  int StatusMsg() const { return status >> 4; }
};
