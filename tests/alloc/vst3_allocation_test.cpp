// The audio path allocates nothing: every block, of either sample size, with parameter
// changes, mapped controllers and notes, runs without a call to operator new.
#include "tests/alloc/allocation_counter.h"
#include "tests/unit/vst3/fake_plug.h"
#include "tests/unit/vst3/test_host.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3Allocation, ProcessAllocatesNothing) {
  {
    alloccount::Counting probe; // the counter itself works
    int* volatile p = new int(1);
    delete p;
    ASSERT_EQ(probe.count(), 1);
  }

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
      long allocations = 0;
      tresult result = kResultFalse;
      {
        alloccount::Counting counting;
        result = instance.processor()->process(block.data);
        allocations = counting.count();
      }
      EXPECT_EQ(result, kResultOk);
      EXPECT_EQ(allocations, 0) << "block of " << length;
    }
  }
}
