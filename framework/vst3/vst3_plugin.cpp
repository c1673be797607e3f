// Identity, life cycle, buses and state of the single-component object.
#include "framework/vst3/vst3_plugin.h"

#include "framework/vst3/midi_mapping.h"
#include "framework/vst3/state_stream.h"
#include "framework/vst3/utf16.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3Plugin::Vst3Plugin(std::unique_ptr<PluginBase> plug)
    : mPlug(std::move(plug)), mOutArrangement(SpeakerArr::kStereo),
      mMappingValues(static_cast<size_t>(MidiMapping::kNumParams)) {
  for (int i = 0; i < MidiMapping::kNumParams; ++i)
    mMappingValues[static_cast<size_t>(i)] =
        MidiMapping::DefaultNormalized(i % MidiMapping::kNumbersPerChannel);
  mPlug->SetOutChannels(2);
  mPlug->SetHostCallbacks(this);
  mPlug->SyncControllerValues();
}

Vst3Plugin::~Vst3Plugin() {
  mPlug->SetHostCallbacks(nullptr);
  if (mHandler) mHandler->release();
  if (mHostContext) mHostContext->release();
}

tresult PLUGIN_API Vst3Plugin::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  auto answer = [&](void* interface) {
    addRef();
    *obj = interface;
    return kResultOk;
  };
  using FUnknownPrivate::iidEqual;
  if (iidEqual(iid, FUnknown::iid))
    return answer(static_cast<FUnknown*>(static_cast<IComponent*>(this)));
  if (iidEqual(iid, IPluginBase::iid))
    return answer(static_cast<IPluginBase*>(static_cast<IComponent*>(this)));
  if (iidEqual(iid, IComponent::iid)) return answer(static_cast<IComponent*>(this));
  if (iidEqual(iid, IAudioProcessor::iid)) return answer(static_cast<IAudioProcessor*>(this));
  if (iidEqual(iid, IProcessContextRequirements::iid))
    return answer(static_cast<IProcessContextRequirements*>(this));
  if (iidEqual(iid, IEditController::iid)) return answer(static_cast<IEditController*>(this));
  if (iidEqual(iid, IEditController2::iid)) return answer(static_cast<IEditController2*>(this));
  if (iidEqual(iid, IUnitInfo::iid)) return answer(static_cast<IUnitInfo*>(this));
  if (iidEqual(iid, IMidiMapping::iid)) return answer(static_cast<IMidiMapping*>(this));
  if (iidEqual(iid, ChannelContext::IInfoListener::iid))
    return answer(static_cast<ChannelContext::IInfoListener*>(this));
  if (iidEqual(iid, IConnectionPoint::iid)) return answer(static_cast<IConnectionPoint*>(this));
  return kNoInterface;
}

uint32 PLUGIN_API Vst3Plugin::addRef() {
  return static_cast<uint32>(mRefCount.fetch_add(1, std::memory_order_relaxed) + 1);
}

uint32 PLUGIN_API Vst3Plugin::release() {
  const int32 left = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return static_cast<uint32>(left < 0 ? 0 : left);
}

tresult PLUGIN_API Vst3Plugin::initialize(FUnknown* context) {
  // Hosts that treat the controller as a separate object initialise us a second time.
  if (mInitialized) return kResultOk;
  mInitialized = true;
  mHostContext = context;
  if (mHostContext) mHostContext->addRef();
  mPlug->OnParamReset(EParamSource::kReset);
  mPlug->SyncControllerValues();
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::terminate() {
  mPlug->SetProcessing(false);
  setComponentHandler(nullptr);
  if (mHostContext) mHostContext->release();
  mHostContext = nullptr;
  mInitialized = false;
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getControllerClassId(TUID /*classId*/) {
  return kResultFalse; // the controller is this object
}

tresult PLUGIN_API Vst3Plugin::setIoMode(IoMode /*mode*/) {
  return kResultOk;
}

int32 PLUGIN_API Vst3Plugin::getBusCount(MediaType type, BusDirection dir) {
  if (type == kAudio) return dir == kOutput ? 1 : 0;
  if (type == kEvent) return (dir == kInput || dir == kOutput) ? 1 : 0;
  return 0;
}

tresult PLUGIN_API Vst3Plugin::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                          BusInfo& bus) {
  if (index < 0 || index >= getBusCount(type, dir)) return kInvalidArgument;
  std::memset(&bus, 0, sizeof(bus));
  bus.mediaType = type;
  bus.direction = dir;
  bus.busType = kMain;
  bus.flags = BusInfo::kDefaultActive;
  if (type == kAudio) {
    bus.channelCount = SpeakerArr::getChannelCount(mOutArrangement);
    Utf8ToUtf16("Output", bus.name, 128);
  } else if (dir == kInput) {
    bus.channelCount = 16;
    Utf8ToUtf16("MIDI Input", bus.name, 128);
  } else {
    bus.channelCount = 1;
    Utf8ToUtf16("MIDI Output", bus.name, 128);
  }
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/) {
  return kResultFalse;
}

tresult PLUGIN_API Vst3Plugin::activateBus(MediaType type, BusDirection dir, int32 index,
                                           TBool /*state*/) {
  if (index < 0 || index >= getBusCount(type, dir)) return kInvalidArgument;
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::setActive(TBool state) {
  mPlug->OnActivate(state != 0);
  return kResultOk;
}

tresult Vst3Plugin::WriteComponentState(IBStream* state) {
  if (!state) return kInvalidArgument;
  IByteChunk chunk;
  if (!mPlug->SerializeState(chunk)) return kResultFalse;
  const int32 bypass = 0;
  chunk.AppendValue(&bypass);
  return WriteWholeChunk(state, chunk) ? kResultOk : kResultFalse;
}

tresult Vst3Plugin::ReadComponentState(IBStream* state) {
  if (!state) return kInvalidArgument;
  IByteChunk chunk;
  if (!ReadWholeStream(state, chunk) || chunk.Size() == 0) return kResultFalse;
  // The plug-in reads the state whole before it applies any of it: a refused one changes nothing.
  const int pos = mPlug->UnserializeHostState(chunk, 0);
  if (pos < 0) return kResultFalse;
  int32 bypass = 0;
  chunk.ReadValue(&bypass, pos); // no bypass parameter; older states may lack the flag
  mPlug->NotifyParamValuesChanged();
  return kResultOk;
}

void Vst3Plugin::BeginEdit(int paramId) {
  if (mHandler) mHandler->beginEdit(static_cast<ParamID>(paramId));
}

void Vst3Plugin::PerformEdit(int paramId, double normalized) {
  if (mHandler) mHandler->performEdit(static_cast<ParamID>(paramId), normalized);
}

void Vst3Plugin::EndEdit(int paramId) {
  if (mHandler) mHandler->endEdit(static_cast<ParamID>(paramId));
}

void Vst3Plugin::ParamValuesChanged() {
  if (mHandler) mHandler->restartComponent(kParamValuesChanged);
}

tresult PLUGIN_API Vst3Plugin::setChannelContextInfos(IAttributeList* /*list*/) {
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::connect(IConnectionPoint* other) {
  return other ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API Vst3Plugin::disconnect(IConnectionPoint* /*other*/) {
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::notify(IMessage* /*message*/) {
  return kResultFalse;
}
