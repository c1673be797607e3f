// The audio path allocates nothing: every block, of either sample size, with parameter
// changes, mapped controllers and notes, runs without a call to operator new.
#include "fake_plug.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3Realtime, ProcessAllocatesNothing) {
  // The counter itself works.
  static void* volatile sink = nullptr;
  gCounting = true;
  sink = ::operator new(16);
  gCounting = false;
  ::operator delete(sink);
  ASSERT_EQ(gAllocations.load(), 1);

  for (const int32 sampleSize : {kSample32, kSample64}) {
    FakeInstance instance;
    instance.start(48000.0, 256, sampleSize);
    instance.plug->logging = false;
    testhost::ParamChanges changes;
    changes.add(kCutoff, 3, 0.5);
    changes.add(kWave, 0, 1.0);
    changes.add(65538 + 129, 10, 0.75);
    testhost::EventList events;
    events.noteOn(1, 0, 60, 0.8f);
    events.noteOff(200, 0, 60, 0.f);
    ProcessContext context{};
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
    context.tempo = 100.0;
    instance.plug->SetParameterValue(kSync, 1.0); // drained inside the block
    for (const int length : {256, 1, 0, 600}) {
      testhost::Block block(length, sampleSize == kSample64);
      block.data.inputParameterChanges = &changes;
      block.data.inputEvents = &events;
      block.data.processContext = &context;
      gAllocations = 0;
      gCounting = true;
      const tresult result = instance.processor()->process(block.data);
      gCounting = false;
      EXPECT_EQ(result, kResultOk);
      EXPECT_EQ(gAllocations.load(), 0) << "block of " << length;
    }
  }
}
