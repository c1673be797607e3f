#pragma once
// The host's side of the VST3 calls, as small as the tests need: memory stream, parameter
// changes, event list, component handler and a block of output buffers.
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace testhost {
using namespace Steinberg;
using namespace Steinberg::Vst;

// Objects of the tests live on the stack; reference counting is not needed.
#define TESTHOST_NO_REFCOUNT                                                                       \
  uint32 PLUGIN_API addRef() override {                                                            \
    return 1;                                                                                      \
  }                                                                                                \
  uint32 PLUGIN_API release() override {                                                           \
    return 1;                                                                                      \
  }

template <typename Interface> tresult answer(Interface* self, const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Interface::iid)) {
    *obj = self;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

class MemoryStream : public IBStream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answer<IBStream>(this, iid, obj);
  }
  TESTHOST_NO_REFCOUNT

  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
    const int64 n = std::max<int64>(0, std::min<int64>(numBytes, size() - pos));
    if (n > 0) std::memcpy(buffer, data.data() + pos, static_cast<size_t>(n));
    pos += n;
    if (numBytesRead) *numBytesRead = static_cast<int32>(n);
    return kResultOk;
  }
  tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override {
    if (numBytes < 0) return kInvalidArgument;
    if (pos + numBytes > size()) data.resize(static_cast<size_t>(pos + numBytes));
    std::memcpy(data.data() + pos, buffer, static_cast<size_t>(numBytes));
    pos += numBytes;
    if (numBytesWritten) *numBytesWritten = numBytes;
    return kResultOk;
  }
  tresult PLUGIN_API seek(int64 to, int32 mode, int64* result) override {
    const int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? pos : size();
    pos = std::max<int64>(0, base + to);
    if (result) *result = pos;
    return kResultOk;
  }
  tresult PLUGIN_API tell(int64* where) override {
    if (where) *where = pos;
    return kResultOk;
  }
  int64 size() const { return static_cast<int64>(data.size()); }

  std::vector<uint8_t> data;
  int64 pos = 0;
};

class ParamQueue : public IParamValueQueue {
public:
  explicit ParamQueue(ParamID paramId) : id(paramId) {}
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answer<IParamValueQueue>(this, iid, obj);
  }
  TESTHOST_NO_REFCOUNT

  ParamID PLUGIN_API getParameterId() override { return id; }
  int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points.size()); }
  tresult PLUGIN_API getPoint(int32 index, int32& offset, ParamValue& value) override {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points[static_cast<size_t>(index)].first;
    value = points[static_cast<size_t>(index)].second;
    return kResultOk;
  }
  tresult PLUGIN_API addPoint(int32 offset, ParamValue value, int32& index) override {
    index = getPointCount();
    points.emplace_back(offset, value);
    return kResultOk;
  }

  ParamID id;
  std::vector<std::pair<int32, ParamValue>> points;
};

class ParamChanges : public IParameterChanges {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answer<IParameterChanges>(this, iid, obj);
  }
  TESTHOST_NO_REFCOUNT

  int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues.size()); }
  IParamValueQueue* PLUGIN_API getParameterData(int32 index) override {
    if (index < 0 || index >= getParameterCount()) return nullptr;
    return &queues[static_cast<size_t>(index)];
  }
  IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) override {
    for (size_t i = 0; i < queues.size(); ++i)
      if (queues[i].id == id) {
        index = static_cast<int32>(i);
        return &queues[i];
      }
    index = getParameterCount();
    queues.emplace_back(id);
    return &queues.back();
  }

  // Test convenience: one change of one parameter.
  void add(ParamID id, int32 offset, double value) {
    int32 index = 0;
    int32 point = 0;
    addParameterData(id, index)->addPoint(offset, value, point);
  }

  std::vector<ParamQueue> queues;
};

class EventList : public IEventList {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answer<IEventList>(this, iid, obj);
  }
  TESTHOST_NO_REFCOUNT

  int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
  tresult PLUGIN_API getEvent(int32 index, Event& e) override {
    if (index < 0 || index >= getEventCount()) return kInvalidArgument;
    e = events[static_cast<size_t>(index)];
    return kResultOk;
  }
  tresult PLUGIN_API addEvent(Event& e) override {
    events.push_back(e);
    return kResultOk;
  }

  void noteOn(int32 offset, int16 channel, int16 pitch, float velocity) {
    Event e{};
    e.type = Event::kNoteOnEvent;
    e.sampleOffset = offset;
    e.noteOn.channel = channel;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = -1;
    events.push_back(e);
  }
  void noteOff(int32 offset, int16 channel, int16 pitch, float velocity) {
    Event e{};
    e.type = Event::kNoteOffEvent;
    e.sampleOffset = offset;
    e.noteOff.channel = channel;
    e.noteOff.pitch = pitch;
    e.noteOff.velocity = velocity;
    e.noteOff.noteId = -1;
    events.push_back(e);
  }

  std::vector<Event> events;
};

class ComponentHandler : public IComponentHandler {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answer<IComponentHandler>(this, iid, obj);
  }
  TESTHOST_NO_REFCOUNT

  tresult PLUGIN_API beginEdit(ParamID id) override {
    log.push_back("begin " + std::to_string(id));
    return kResultOk;
  }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override {
    log.push_back("perform " + std::to_string(id) + " " + std::to_string(value));
    return kResultOk;
  }
  tresult PLUGIN_API endEdit(ParamID id) override {
    log.push_back("end " + std::to_string(id));
    return kResultOk;
  }
  tresult PLUGIN_API restartComponent(int32 flags) override {
    log.push_back("restart " + std::to_string(flags));
    return kResultOk;
  }

  std::vector<std::string> log;
};

// Output buffers and ProcessData for one host block of either sample size.
struct Block {
  Block(int frames, bool use64, int channels = 2)
      : f32(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames), -9.f)),
        f64(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames), -9.0)) {
    for (int c = 0; c < channels; ++c) {
      ptr32.push_back(f32[static_cast<size_t>(c)].data());
      ptr64.push_back(f64[static_cast<size_t>(c)].data());
    }
    bus.numChannels = channels;
    bus.silenceFlags = ~0ull;
    if (use64)
      bus.channelBuffers64 = ptr64.data();
    else
      bus.channelBuffers32 = ptr32.data();
    data.processMode = kRealtime;
    data.symbolicSampleSize = use64 ? kSample64 : kSample32;
    data.numSamples = frames;
    data.numOutputs = 1;
    data.outputs = &bus;
  }
  double sample(int channel, int frame) const {
    const size_t c = static_cast<size_t>(channel), i = static_cast<size_t>(frame);
    return data.symbolicSampleSize == kSample64 ? f64[c][i] : static_cast<double>(f32[c][i]);
  }

  std::vector<std::vector<float>> f32;
  std::vector<std::vector<double>> f64;
  std::vector<float*> ptr32;
  std::vector<double*> ptr64;
  AudioBusBuffers bus{};
  ProcessData data{};
};
} // namespace testhost
