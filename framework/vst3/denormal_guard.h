#pragma once
// Flush-to-zero and denormals-are-zero for the duration of one host block, restored after:
// the host's own floating-point mode is left as it was.
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>

class DenormalGuard {
public:
  DenormalGuard() : mSaved(_mm_getcsr()) { _mm_setcsr(mSaved | kFtzDaz); }
  ~DenormalGuard() { _mm_setcsr(mSaved); }
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
  static constexpr unsigned kFtzDaz = 0x8040;
  unsigned mSaved;
};
#else
class DenormalGuard {};
#endif
