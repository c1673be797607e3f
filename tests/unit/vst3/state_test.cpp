#include "fake_plug.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::MemoryStream;

namespace {
std::vector<uint8_t> saveState(FakeInstance& instance) {
  MemoryStream stream;
  EXPECT_EQ(instance.component()->getState(&stream), kResultOk);
  return stream.data;
}

void setValues(FakePlug& plug, double cutoff, double time, double octave, double wave,
               double sync) {
  const double values[] = {cutoff, time, octave, wave, sync};
  for (int i = 0; i < kNumFakeParams; ++i) plug.GetParam(i)->SetValue(values[i]);
}
} // namespace

TEST(Vst3State, ChunkFollowedByAZeroBypassFlag) {
  FakeInstance instance;
  setValues(*instance.plug, 0.5, 2.0, -1.0, 2.0, 1.0);
  const std::vector<uint8_t> bytes = saveState(instance);
  IByteChunk chunk;
  instance.plug->SerializeState(chunk);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(chunk.Size()) + 4);
  EXPECT_EQ(std::memcmp(bytes.data(), chunk.GetData(), static_cast<size_t>(chunk.Size())), 0);
  int32_t bypass = -1;
  std::memcpy(&bypass, bytes.data() + chunk.Size(), 4);
  EXPECT_EQ(bypass, 0);
}

TEST(Vst3State, RoundTripIsByteIdentical) {
  FakeInstance source;
  setValues(*source.plug, 0.123, 7.5, 2.0, 0.0, 1.0);
  const std::vector<uint8_t> saved = saveState(source);

  FakeInstance target;
  target.start();
  MemoryStream in(saved);
  ASSERT_EQ(target.component()->setState(&in), kResultOk);
  EXPECT_EQ(target.plug->GetParam(kTime)->GetValue(), 7.5);
  EXPECT_EQ(saveState(target), saved);
  // The controller reads the same values without a state of its own.
  EXPECT_EQ(target.controller()->getParamNormalized(kOctave), 1.0);
}

TEST(Vst3State, AStateWithoutBypassFlagIsAccepted) {
  FakeInstance source;
  setValues(*source.plug, 0.5, 3.0, 1.0, 1.0, 0.0);
  std::vector<uint8_t> saved = saveState(source);
  saved.resize(saved.size() - 4);
  FakeInstance target;
  MemoryStream in(saved);
  EXPECT_EQ(target.component()->setState(&in), kResultOk);
  EXPECT_EQ(target.plug->GetParam(kTime)->GetValue(), 3.0);
}

TEST(Vst3State, TruncatedOrEmptyStreamsChangeNothing) {
  FakeInstance source;
  setValues(*source.plug, 0.9, 9.0, -2.0, 0.0, 1.0);
  const std::vector<uint8_t> other = saveState(source);

  FakeInstance target;
  setValues(*target.plug, 0.1, 0.5, 1.0, 2.0, 0.0);
  const std::vector<uint8_t> before = saveState(target);
  for (const size_t length : {size_t{0}, size_t{1}, size_t{8}, size_t{20}, other.size() - 5}) {
    SCOPED_TRACE(length);
    MemoryStream in(std::vector<uint8_t>(other.begin(), other.begin() + static_cast<long>(length)));
    EXPECT_EQ(target.component()->setState(&in), kResultFalse);
    EXPECT_EQ(saveState(target), before);
  }
  EXPECT_EQ(target.component()->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(target.component()->getState(nullptr), kInvalidArgument);
}

TEST(Vst3State, ReadsFromTheStreamsCurrentPosition) {
  FakeInstance source;
  setValues(*source.plug, 0.25, 4.0, 0.0, 1.0, 1.0);
  const std::vector<uint8_t> saved = saveState(source);
  std::vector<uint8_t> withHeader = {1, 2, 3};
  withHeader.insert(withHeader.end(), saved.begin(), saved.end());
  MemoryStream in(withHeader);
  in.pos = 3;
  FakeInstance target;
  ASSERT_EQ(target.component()->setState(&in), kResultOk);
  EXPECT_EQ(saveState(target), saved);
}

// After a restore the host reads every value again, and the controller and editor show the
// restored sound; a refused state tells nobody anything.
TEST(Vst3State, RestoreTellsHostControllerAndEditor) {
  FakeInstance source;
  setValues(*source.plug, 0.5, 3.0, 2.0, 0.0, 1.0);
  const std::vector<uint8_t> saved = saveState(source);

  FakeInstance target;
  target.start();
  testhost::ComponentHandler handler;
  target.controller()->setComponentHandler(&handler);
  const int refreshes = target.plug->uiRefreshes;
  MemoryStream cut(std::vector<uint8_t>(saved.begin(), saved.begin() + 9));
  EXPECT_EQ(target.component()->setState(&cut), kResultFalse);
  EXPECT_TRUE(handler.log.empty());
  EXPECT_EQ(target.plug->uiRefreshes, refreshes);

  MemoryStream in(saved);
  ASSERT_EQ(target.component()->setState(&in), kResultOk);
  EXPECT_EQ(handler.log,
            std::vector<std::string>{"restart " + std::to_string(kParamValuesChanged)});
  EXPECT_EQ(target.plug->uiRefreshes, refreshes + 1);
  EXPECT_EQ(target.controller()->getParamNormalized(kOctave), 1.0);
  EXPECT_EQ(target.plug->GetControllerValue(kSync), 1.0);
  target.controller()->setComponentHandler(nullptr);
}
