#include "tools/host/plugin_instance.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "framework/vst3/utf16.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/host/host_error.h"
#include "tools/host/memory_stream.h"
#include "tools/host/ref_counted.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vhost {

namespace {

template <typename T> void releaseAndClear(T*& p) {
  if (p) p->release();
  p = nullptr;
}

template <typename T> T* query(FUnknown* object, const TUID iid) {
  void* result = nullptr;
  if (object && object->queryInterface(iid, &result) == kResultOk) return static_cast<T*>(result);
  return nullptr;
}

// What the processor asks of the transport. A plug-in of SDK 3.7 or later that does not say
// asks for nothing; older ones get everything, as they were written for that.
uint32_t contextRequirements(FUnknown* component, const ClassInfo& cls) {
  if (auto* requirements =
          query<IProcessContextRequirements>(component, IProcessContextRequirements_iid)) {
    const uint32_t flags = requirements->getProcessContextRequirements();
    requirements->release();
    return flags;
  }
  int major = 0, minor = 0;
  if (std::sscanf(cls.sdkVersion.c_str(), "VST %d.%d", &major, &minor) == 2 &&
      (major > 3 || (major == 3 && minor >= 7)))
    return 0;
  return ~0u;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The smallest float v with trunc(v * 127) == value in float and in double arithmetic, so a
// plug-in that truncates gets the velocity that was sent.
float velocityToFloat(int value) {
  value = std::clamp(value, 0, 127);
  float f = static_cast<float>(value) / 127.0f;
  while (static_cast<int>(static_cast<double>(f) * 127.0) < value ||
         static_cast<int>(f * 127.0f) < value)
    f = std::nextafter(f, 2.0f);
  return f;
}

} // namespace

PluginInstance::PluginInstance(const Bundle& bundle, const std::string& hostName) {
  const ClassInfo* cls = bundle.firstAudioModule();
  if (!cls) throw HostError(bundle.path() + " holds no \"Audio Module Class\"");
  create(bundle, *cls, hostName);
}

PluginInstance::PluginInstance(const Bundle& bundle, const ClassInfo& cls,
                               const std::string& hostName) {
  create(bundle, cls, hostName);
}

PluginInstance::~PluginInstance() {
  teardown();
}

void PluginInstance::create(const Bundle& bundle, const ClassInfo& cls,
                            const std::string& hostName) {
  classInfo_ = cls;
  host_ = new HostApplication(hostName);
  handler_ = new ComponentHandler;
  inChanges_ = new ParameterChanges;
  outChanges_ = new ParameterChanges;
  inEvents_ = new EventList;
  outEvents_ = new EventList;
  try {
    TUID cid;
    std::copy(cls.cid.begin(), cls.cid.end(), reinterpret_cast<uint8_t*>(cid));
    void* obj = nullptr;
    if (bundle.factory()->createInstance(reinterpret_cast<FIDString>(cid),
                                         reinterpret_cast<FIDString>(IComponent_iid),
                                         &obj) != kResultOk ||
        !obj)
      throw HostError("the factory could not create \"" + cls.name + "\"");
    component_ = static_cast<IComponent*>(obj);
    if (component_->initialize(host_) != kResultOk)
      throw HostError("\"" + cls.name + "\" failed to initialise");
    componentInitialized_ = true;
    processor_ = query<IAudioProcessor>(component_, IAudioProcessor_iid);
    if (!processor_) throw HostError("\"" + cls.name + "\" has no audio processor");
    transport_.setRequirements(contextRequirements(component_, cls));
    connectController(bundle);
    controller_->setComponentHandler(handler_);
    midiMapping_ = query<IMidiMapping>(controller_, IMidiMapping_iid);
    unitInfo_ = query<IUnitInfo>(controller_, IUnitInfo_iid);
    if (!singleComponent_) {
      // A separate controller learns the component's current state, as in a DAW.
      MemoryStream* stream = new MemoryStream;
      if (component_->getState(stream) == kResultOk) {
        stream->rewind();
        controller_->setComponentState(stream);
      }
      stream->release();
    }
    readParameters();
  } catch (...) {
    teardown();
    throw;
  }
}

void PluginInstance::connectController(const Bundle& bundle) {
  controller_ = query<IEditController>(component_, IEditController_iid);
  if (controller_) {
    singleComponent_ = true;
    return;
  }
  TUID controllerCid;
  if (component_->getControllerClassId(controllerCid) != kResultOk)
    throw HostError("\"" + classInfo_.name + "\" has no edit controller");
  void* obj = nullptr;
  if (bundle.factory()->createInstance(reinterpret_cast<FIDString>(controllerCid),
                                       reinterpret_cast<FIDString>(IEditController_iid),
                                       &obj) != kResultOk ||
      !obj)
    throw HostError("the factory could not create the edit controller of \"" + classInfo_.name +
                    "\"");
  controller_ = static_cast<IEditController*>(obj);
  if (controller_->initialize(host_) != kResultOk)
    throw HostError("the edit controller of \"" + classInfo_.name + "\" failed to initialise");
  controllerInitialized_ = true;
  componentPoint_ = query<IConnectionPoint>(component_, IConnectionPoint_iid);
  controllerPoint_ = query<IConnectionPoint>(controller_, IConnectionPoint_iid);
  if (componentPoint_ && controllerPoint_) {
    componentPoint_->connect(controllerPoint_);
    controllerPoint_->connect(componentPoint_);
  } else {
    releaseAndClear(componentPoint_);
    releaseAndClear(controllerPoint_);
  }
}

void PluginInstance::teardown() {
  if (running_ || active_) stop();
  if (componentPoint_ && controllerPoint_) {
    componentPoint_->disconnect(controllerPoint_);
    controllerPoint_->disconnect(componentPoint_);
  }
  releaseAndClear(componentPoint_);
  releaseAndClear(controllerPoint_);
  releaseAndClear(midiMapping_);
  releaseAndClear(unitInfo_);
  if (controller_) {
    controller_->setComponentHandler(nullptr);
    if (controllerInitialized_) controller_->terminate();
    controllerInitialized_ = false;
  }
  releaseAndClear(controller_);
  releaseAndClear(processor_);
  if (component_ && componentInitialized_) component_->terminate();
  componentInitialized_ = false;
  releaseAndClear(component_);
  releaseAndClear(inChanges_);
  releaseAndClear(outChanges_);
  releaseAndClear(inEvents_);
  releaseAndClear(outEvents_);
  releaseAndClear(handler_);
  releaseAndClear(host_);
}

// Parameters ------------------------------------------------------------------------------------

void PluginInstance::readParameters() {
  params_.clear();
  midiProxyIds_.clear();
  const int32 count = controller_->getParameterCount();
  params_.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo pi{};
    if (controller_->getParameterInfo(i, pi) != kResultOk) continue;
    ParamInfo p;
    p.id = pi.id;
    p.title = Utf16ToUtf8(pi.title, 128);
    p.shortTitle = Utf16ToUtf8(pi.shortTitle, 128);
    p.units = Utf16ToUtf8(pi.units, 128);
    p.stepCount = pi.stepCount;
    p.defaultNormalized = pi.defaultNormalizedValue;
    p.flags = pi.flags;
    p.unitId = pi.unitId;
    p.defaultDisplay = displayText(pi.id, pi.defaultNormalizedValue);
    params_.push_back(std::move(p));
  }
  if (midiMapping_) {
    for (int16 ch = 0; ch < 16; ++ch) {
      for (CtrlNumber n = 0; n < kCountCtrlNumber; ++n) {
        ParamID id = 0;
        if (midiMapping_->getMidiControllerAssignment(0, ch, n, id) == kResultOk)
          midiProxyIds_.insert(id);
      }
    }
  }
}

std::vector<ParamInfo> PluginInstance::parameters() const {
  std::vector<ParamInfo> out;
  for (const ParamInfo& p : params_)
    if (!(p.flags & ParameterInfo::kIsHidden) && !midiProxyIds_.count(p.id)) out.push_back(p);
  return out;
}

const ParamInfo* PluginInstance::findParameter(const std::string& title) const {
  const ParamInfo* folded = nullptr;
  const std::string key = lower(title);
  for (const ParamInfo& p : params_) {
    if (midiProxyIds_.count(p.id)) continue;
    if (p.title == title) return &p;
    if (!folded && lower(p.title) == key) folded = &p;
  }
  return folded;
}

const ParamInfo* PluginInstance::findParameter(ParamID id) const {
  for (const ParamInfo& p : params_)
    if (p.id == id) return &p;
  return nullptr;
}

std::string PluginInstance::displayText(ParamID id, double normalized) const {
  String128 text{};
  if (controller_->getParamStringByValue(id, normalized, text) != kResultOk) return std::string();
  return Utf16ToUtf8(text, 128);
}

bool PluginInstance::textToNormalized(ParamID id, const std::string& text, double& out) const {
  String128 wide{};
  Utf8ToUtf16(text.c_str(), wide, 128);
  ParamValue v = 0.0;
  if (controller_->getParamValueByString(id, wide, v) != kResultOk || !std::isfinite(v))
    return false;
  out = v;
  return true;
}

double PluginInstance::plainToNormalized(ParamID id, double plain) const {
  return controller_->plainParamToNormalized(id, plain);
}

double PluginInstance::normalizedToPlain(ParamID id, double normalized) const {
  return controller_->normalizedParamToPlain(id, normalized);
}

double PluginInstance::currentNormalized(ParamID id) const {
  return controller_->getParamNormalized(id);
}

void PluginInstance::setParameter(ParamID id, double normalized, int32_t sampleOffset) {
  normalized = std::clamp(normalized, 0.0, 1.0);
  controller_->setParamNormalized(id, normalized);
  inChanges_->add(id, sampleOffset, normalized);
}

// Processing --------------------------------------------------------------------------------------

void PluginInstance::setupBuses() {
  const int32 nIn = component_->getBusCount(kAudio, kInput);
  const int32 nOut = component_->getBusCount(kAudio, kOutput);
  std::vector<SpeakerArrangement> ins(static_cast<size_t>(std::max(nIn, 0)));
  std::vector<SpeakerArrangement> outs(static_cast<size_t>(std::max(nOut, 0)));
  for (int32 i = 0; i < nIn; ++i)
    processor_->getBusArrangement(kInput, i, ins[static_cast<size_t>(i)]);
  for (int32 i = 0; i < nOut; ++i)
    processor_->getBusArrangement(kOutput, i, outs[static_cast<size_t>(i)]);
  if (nOut > 0 && outs[0] != SpeakerArr::kStereo) {
    outs[0] = SpeakerArr::kStereo;
    // A plug-in that refuses stereo keeps its own arrangement (mono is handled).
    processor_->setBusArrangements(ins.data(), nIn, outs.data(), nOut);
  }
  if (nOut > 0) component_->activateBus(kAudio, kOutput, 0, true);
  if (nIn > 0) component_->activateBus(kAudio, kInput, 0, true);
  if (component_->getBusCount(kEvent, kInput) > 0) component_->activateBus(kEvent, kInput, 0, true);
  if (component_->getBusCount(kEvent, kOutput) > 0)
    component_->activateBus(kEvent, kOutput, 0, true);
}

void PluginInstance::allocateBuffers() {
  auto build = [this](BusDirection dir, std::vector<BusBuffers>& buffers,
                      std::vector<AudioBusBuffers>& buses) {
    const int32 n = component_->getBusCount(kAudio, dir);
    buffers.assign(static_cast<size_t>(std::max(n, 0)), BusBuffers{});
    buses.assign(buffers.size(), AudioBusBuffers{});
    const size_t frames = static_cast<size_t>(config_.maxBlock);
    for (int32 i = 0; i < n; ++i) {
      BusInfo info{};
      component_->getBusInfo(kAudio, dir, i, info);
      const size_t channels = static_cast<size_t>(std::max(info.channelCount, 0));
      BusBuffers& b = buffers[static_cast<size_t>(i)];
      b.data32.assign(channels, std::vector<float>(frames, 0.0f));
      b.data64.assign(channels, std::vector<double>(frames, 0.0));
      for (size_t c = 0; c < channels; ++c) {
        b.ptr32.push_back(b.data32[c].data());
        b.ptr64.push_back(b.data64[c].data());
      }
      AudioBusBuffers& bus = buses[static_cast<size_t>(i)];
      bus.numChannels = static_cast<int32>(channels);
      if (config_.use64)
        bus.channelBuffers64 = b.ptr64.data();
      else
        bus.channelBuffers32 = b.ptr32.data();
    }
  };
  build(kInput, inBuffers_, inBuses_);
  build(kOutput, outBuffers_, outBuses_);
}

void PluginInstance::start(const ProcessConfig& config) {
  if (running_ || active_) stop();
  if (config.maxBlock < 1) throw HostError("the maximum block size must be at least 1");
  config_ = config;
  transport_.setSampleRate(config.sampleRate);
  const int32 sampleSize = config.use64 ? kSample64 : kSample32;
  if (processor_->canProcessSampleSize(sampleSize) != kResultOk)
    throw HostError("\"" + classInfo_.name + "\" cannot process " + (config.use64 ? "64" : "32") +
                    "-bit samples");
  setupBuses();
  ProcessSetup setup{};
  setup.processMode = config.offline ? kOffline : kRealtime;
  setup.symbolicSampleSize = sampleSize;
  setup.maxSamplesPerBlock = config.maxBlock;
  setup.sampleRate = config.sampleRate;
  if (processor_->setupProcessing(setup) != kResultOk)
    throw HostError("\"" + classInfo_.name + "\" refused the processing setup (" +
                    std::to_string(static_cast<long>(config.sampleRate)) + " Hz, " +
                    std::to_string(config.maxBlock) + " frames)");
  allocateBuffers();
  if (component_->setActive(true) != kResultOk)
    throw HostError("\"" + classInfo_.name + "\" could not be activated");
  active_ = true;
  processor_->setProcessing(true);
  running_ = true;
}

void PluginInstance::stop() {
  if (running_) processor_->setProcessing(false);
  running_ = false;
  if (active_) component_->setActive(false);
  active_ = false;
}

void PluginInstance::noteOn(int channel, int pitch, int velocity, int32_t sampleOffset) {
  Event e{};
  e.busIndex = 0;
  e.sampleOffset = sampleOffset;
  e.type = Event::kNoteOnEvent;
  e.noteOn.channel = static_cast<int16>(channel);
  e.noteOn.pitch = static_cast<int16>(pitch);
  e.noteOn.velocity = velocityToFloat(velocity);
  e.noteOn.noteId = -1;
  inEvents_->addEvent(e);
}

void PluginInstance::noteOff(int channel, int pitch, int velocity, int32_t sampleOffset) {
  Event e{};
  e.busIndex = 0;
  e.sampleOffset = sampleOffset;
  e.type = Event::kNoteOffEvent;
  e.noteOff.channel = static_cast<int16>(channel);
  e.noteOff.pitch = static_cast<int16>(pitch);
  e.noteOff.velocity = velocityToFloat(velocity);
  e.noteOff.noteId = -1;
  inEvents_->addEvent(e);
}

void PluginInstance::polyPressure(int channel, int pitch, int value, int32_t sampleOffset) {
  Event e{};
  e.busIndex = 0;
  e.sampleOffset = sampleOffset;
  e.type = Event::kPolyPressureEvent;
  e.polyPressure.channel = static_cast<int16>(channel);
  e.polyPressure.pitch = static_cast<int16>(pitch);
  e.polyPressure.pressure = velocityToFloat(value);
  e.polyPressure.noteId = -1;
  inEvents_->addEvent(e);
}

bool PluginInstance::midiMappingFor(int channel, int number, ParamID& id) const {
  if (!midiMapping_) return false;
  return midiMapping_->getMidiControllerAssignment(
             0, static_cast<int16>(channel), static_cast<CtrlNumber>(number), id) == kResultOk;
}

bool PluginInstance::midiController(int channel, int number, double normalized,
                                    int32_t sampleOffset) {
  ParamID id = 0;
  if (!midiMappingFor(channel, number, id)) return false;
  inChanges_->add(id, sampleOffset, std::clamp(normalized, 0.0, 1.0));
  return true;
}

bool PluginInstance::controlChange(int channel, int number, int value, int32_t sampleOffset) {
  return midiController(channel, number, std::clamp(value, 0, 127) / 127.0, sampleOffset);
}

bool PluginInstance::channelPressure(int channel, int value, int32_t sampleOffset) {
  return midiController(channel, kAftertouchController, std::clamp(value, 0, 127) / 127.0,
                        sampleOffset);
}

bool PluginInstance::pitchBend(int channel, int value14, int32_t sampleOffset) {
  // value / 16384 is exact in binary, so a plug-in that turns v back into
  // trunc((2v - 1) * 8192) + 8192 gets every 14-bit value back; the centre 8192 is 0.5.
  const int v = std::clamp(value14, 0, 16383);
  return midiController(channel, kPitchBendController, v / 16384.0, sampleOffset);
}

void PluginInstance::pullHandlerEdits() {
  for (const ComponentHandler::Edit& e : handler_->takeEdits()) inChanges_->add(e.id, 0, e.value);
}

void PluginInstance::process(int32_t frames) {
  if (!running_) throw HostError("process called before processing was started");
  if (frames < 0 || frames > config_.maxBlock)
    throw HostError("block of " + std::to_string(frames) + " frames exceeds the maximum of " +
                    std::to_string(config_.maxBlock));
  pullHandlerEdits();
  for (AudioBusBuffers& b : outBuses_) b.silenceFlags = 0;
  for (size_t i = 0; i < inBuses_.size(); ++i) {
    inBuses_[i].silenceFlags =
        inBuses_[i].numChannels >= 64 ? ~0ull : (1ull << inBuses_[i].numChannels) - 1;
    for (auto& ch : inBuffers_[i].data32) std::fill(ch.begin(), ch.end(), 0.0f);
    for (auto& ch : inBuffers_[i].data64) std::fill(ch.begin(), ch.end(), 0.0);
  }
  outEvents_->clear();
  outChanges_->clear();
  ProcessData data;
  data.processMode = config_.offline ? kOffline : kRealtime;
  data.symbolicSampleSize = config_.use64 ? kSample64 : kSample32;
  data.numSamples = frames;
  data.numInputs = static_cast<int32>(inBuses_.size());
  data.numOutputs = static_cast<int32>(outBuses_.size());
  data.inputs = inBuses_.empty() ? nullptr : inBuses_.data();
  data.outputs = outBuses_.empty() ? nullptr : outBuses_.data();
  data.inputParameterChanges = inChanges_;
  data.outputParameterChanges = outChanges_;
  data.inputEvents = inEvents_;
  data.outputEvents = outEvents_;
  data.processContext = transport_.context();
  const tresult result = processor_->process(data);
  inChanges_->clear();
  inEvents_->clear();
  transport_.advance(frames);
  if (result != kResultOk && frames > 0)
    throw HostError("\"" + classInfo_.name + "\" failed to process a block");
}

int32_t PluginInstance::outputChannels() const {
  return outBuses_.empty() ? 0 : outBuses_[0].numChannels;
}

double PluginInstance::sample(int ch, int32_t i) const {
  if (outBuffers_.empty() || outBuses_[0].numChannels == 0) return 0.0;
  const size_t c = static_cast<size_t>(std::min(ch, outBuses_[0].numChannels - 1));
  const size_t n = static_cast<size_t>(i);
  return config_.use64 ? outBuffers_[0].data64[c][n]
                       : static_cast<double>(outBuffers_[0].data32[c][n]);
}

// State -----------------------------------------------------------------------------------------

std::vector<uint8_t> PluginInstance::getState() const {
  MemoryStream* stream = new MemoryStream;
  const tresult r = component_->getState(stream);
  std::vector<uint8_t> bytes = stream->bytes();
  stream->release();
  if (r != kResultOk) throw HostError("\"" + classInfo_.name + "\" could not save its state");
  return bytes;
}

bool PluginInstance::setState(const std::vector<uint8_t>& bytes) {
  MemoryStream* stream = new MemoryStream(bytes);
  bool ok = component_->setState(stream) == kResultOk;
  if (ok && !singleComponent_) {
    stream->rewind();
    controller_->setComponentState(stream);
  }
  stream->release();
  return ok;
}

std::vector<uint8_t> PluginInstance::getControllerState() const {
  MemoryStream* stream = new MemoryStream;
  const tresult r = controller_->getState(stream);
  std::vector<uint8_t> bytes = stream->bytes();
  stream->release();
  if (r != kResultOk)
    throw HostError("the edit controller of \"" + classInfo_.name + "\" could not save its state");
  return bytes;
}

bool PluginInstance::setControllerState(const std::vector<uint8_t>& bytes) {
  MemoryStream* stream = new MemoryStream(bytes);
  const bool ok = controller_->setState(stream) == kResultOk;
  stream->release();
  return ok;
}

std::vector<std::string> PluginInstance::programNames(ProgramListID list, int32_t maxCount) const {
  std::vector<std::string> names;
  if (!unitInfo_) return names;
  for (int32 i = 0; i < maxCount; ++i) {
    String128 name{};
    if (unitInfo_->getProgramName(list, i, name) != kResultOk) break;
    names.push_back(Utf16ToUtf8(name, 128));
  }
  return names;
}

} // namespace vhost
