#pragma once
// A fixed yardstick for the benchmarks: a plain 64-voice sawtooth with a one-pole low-pass, so
// figures from a shared, noisy machine can be compared as ratios within one run.
namespace vrender {

// Nanoseconds per voice-sample of the reference loop over about `seconds` of work.
double referenceNsPerVoiceSample(double seconds = 0.5);

// CPU time of the calling thread in nanoseconds: on a shared machine the time the benchmark's own
// work took, not the time other programs held the cores.
double threadCpuNs();

} // namespace vrender
