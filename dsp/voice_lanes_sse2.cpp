// The two-lane kernel for SSE2, the baseline of every x86-64.
#define VARNEL_LANES_NS lanes_sse2
#include "dsp/voice_lanes_kernel.h"

void runLanesSse2(LaneData& lanes, int real, double* mix, int count, int firstStep) {
  lanes_sse2::runGroup<2>(lanes, real, mix, count, firstStep);
}
