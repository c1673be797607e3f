#pragma once

class Voice;

// Runs a group of voices side by side in SIMD lanes: two doubles per register with SSE2, which
// every x86-64 has, or four with AVX2 where the CPU offers it. Every lane does exactly the
// arithmetic of Voice::process, in the same order and without fused multiply-adds, so the output
// is bit-identical to rendering the voices one by one, which stays as the reference (kScalar).
namespace VoiceLanes {

enum class Path { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

bool isSupported(Path path);
// AVX2 where the CPU has it, else SSE2.
Path bestPath();
// The path a new engine takes: the forced one, else VARNEL_VOICE_PATH (scalar, sse2 or avx2)
// when it names a path this CPU supports, else bestPath(). Read once per engine, not per block.
Path defaultPath();
// For tests and benchmarks; an unsupported path falls back to SSE2.
void forcePath(Path path);
const char* name(Path path);

// Renders count samples of voices[0..n) into mix, as calling voices[i]->process(mix, count,
// position) in order would. The voices are the active ones in ascending engine order.
void process(Path path, Voice* const* voices, int n, double* mix, int count, int position);

} // namespace VoiceLanes
