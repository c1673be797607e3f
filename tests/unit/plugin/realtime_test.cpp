#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;

namespace {
void expectClean(Engine& e, const double* left, const double* right, int frames, const char* what) {
  const int n = e->controlPeriod;
  const auto finite = [&](const double* x, int count, const char* buffer) {
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(std::isfinite(x[i])) << what << ": " << buffer << "[" << i << "]";
      ASSERT_NE(std::fpclassify(x[i]), FP_SUBNORMAL) << what << ": " << buffer << "[" << i << "]";
    }
  };
  finite(left, frames, "left");
  finite(right, frames, "right");
  finite(e->voiceMixBuf.get(), n, "voice mix");
  finite(e->sectionBuf.get(), n, "bus");
  finite(e->finalGainBuf.get(), n, "output amplitude");
  finite(e->amModBuf.get(), n, "AM");
}
} // namespace

// All parameters at their minimum, then all at their maximum, then alternating, with 64 notes.
TEST(Realtime, ParameterExtremesStayFinite) {
  enum Setting { kMin, kMax, kEvenMin, kEvenMax };
  for (double rate : {22050.0, 44100.0, 192000.0}) {
    Engine e(rate, 512);
    for (int k = 0; k < Varnel::kNumVoices; ++k) e.send(noteOn(20 + k, 1 + k * 2));
    e.send(pitchBend(0x3FFF));
    e.send(controller(1, 127));
    const int frames = static_cast<int>(rate * (rate > 100000 ? 0.06 : 0.15));
    for (Setting s : {kMin, kMax, kEvenMin, kEvenMax}) {
      for (int i = 0; i < kNumParams; ++i) {
        IParam* p = e->GetParam(i);
        const bool low = s == kMin || (s == kEvenMin && i % 2 == 0) || (s == kEvenMax && i % 2);
        p->SetValue(low ? p->GetMin() : p->GetMax());
        e->OnParamChange(i);
      }
      const std::string what = std::to_string(rate) + " Hz, setting " + std::to_string(s);
      for (int done = 0; done < frames; done += 512) {
        e.block(512);
        expectClean(e, e.left.data(), e.right.data(), 512, what.c_str());
        if (HasFatalFailure()) return;
      }
    }
  }
}
