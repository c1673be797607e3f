// The four-lane kernel, built for AVX2 (without FMA); called only when the CPU has AVX2.
#define VARNEL_LANES_NS lanes_avx2
#include "dsp/voice_lanes_kernel.h"

void runLanesAvx2(LaneData& lanes, int real, double* mix, int count, int firstStep) {
  lanes_avx2::runGroup<4>(lanes, real, mix, count, firstStep);
}
