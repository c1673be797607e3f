#pragma once
// The host transport as seen during one block.
struct ITimeInfo {
  double tempo = 120.0;   // beats per minute
  double samplePos = 0.0; // position in samples; negative before the song start
  double ppqPos = 0.0;    // position in quarter notes
  bool transportIsRunning = false;
};
