// Audio processing: set-up, transport, parameter changes, events and rendering of one block.
#include "framework/vst3/denormal_guard.h"
#include "framework/vst3/event_midi.h"
#include "framework/vst3/midi_mapping.h"
#include "framework/vst3/vst3_plugin.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// Longer host blocks are rendered in pieces of at most this many samples, so an absurd
// announced maximum cannot make us allocate without bound.
constexpr int kMaxPiece = 16384;
constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1.0e6;

// Host offsets outside the block are pulled to its ends rather than trusted.
int clampOffset(int32 offset, int total) {
  if (total <= 0 || offset < 0) return 0;
  return std::min(offset, total - 1);
}

bool inPiece(int offset, int start, int length, bool lastPiece) {
  return offset >= start && (offset < start + length || lastPiece);
}
} // namespace

tresult PLUGIN_API Vst3Plugin::setBusArrangements(SpeakerArrangement* /*inputs*/, int32 numIns,
                                                  SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns != 0 || numOuts != 1 || !outputs) return kResultFalse;
  if (outputs[0] != SpeakerArr::kStereo && outputs[0] != SpeakerArr::kMono) return kResultFalse;
  mOutArrangement = outputs[0];
  mPlug->SetOutChannels(SpeakerArr::getChannelCount(mOutArrangement));
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getBusArrangement(BusDirection dir, int32 index,
                                                 SpeakerArrangement& arr) {
  if (dir != kOutput || index != 0) return kInvalidArgument;
  arr = mOutArrangement;
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::canProcessSampleSize(int32 symbolicSampleSize) {
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultTrue
                                                                              : kResultFalse;
}

uint32 PLUGIN_API Vst3Plugin::getLatencySamples() {
  return static_cast<uint32>(std::max(0, mPlug->GetConfig().latency));
}

uint32 PLUGIN_API Vst3Plugin::getTailSamples() {
  return kInfiniteTail;
}

tresult PLUGIN_API Vst3Plugin::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  if (!(setup.sampleRate >= kMinSampleRate && setup.sampleRate <= kMaxSampleRate))
    return kInvalidArgument;
  if (setup.maxSamplesPerBlock <= 0) return kInvalidArgument;
  mMaxBlock = std::min(setup.maxSamplesPerBlock, kMaxPiece);
  for (std::vector<double>& buffer : mScratch) buffer.assign(static_cast<size_t>(mMaxBlock), 0.0);
  mPlug->SetSampleRate(setup.sampleRate);
  mPlug->SetBlockSize(mMaxBlock);
  mPlug->OnReset();
  mSetUp = true;
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::setProcessing(TBool state) {
  mPlug->SetProcessing(state != 0);
  if (!state && mSetUp) mPlug->OnReset();
  return kResultOk;
}

// Exactly what TakeTransport reads; the sample position comes with every context.
uint32 PLUGIN_API Vst3Plugin::getProcessContextRequirements() {
  return IProcessContextRequirements::kNeedTempo |
         IProcessContextRequirements::kNeedProjectTimeMusic |
         IProcessContextRequirements::kNeedTransportState;
}

void Vst3Plugin::TakeTransport(const ProcessContext* context) {
  if (!context) return;
  ITimeInfo info = mPlug->GetTimeInfo();
  if (context->state & ProcessContext::kTempoValid) info.tempo = context->tempo;
  info.samplePos = static_cast<double>(context->projectTimeSamples);
  if (context->state & ProcessContext::kProjectTimeMusicValid)
    info.ppqPos = context->projectTimeMusic;
  info.transportIsRunning = (context->state & ProcessContext::kPlaying) != 0;
  mPlug->SetTimeInfo(info);
}

void Vst3Plugin::ApplyParamChanges(IParameterChanges* changes, const Piece& piece) {
  if (!changes) return;
  const int32 count = changes->getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const int32 points = queue->getPointCount();
    if (points <= 0) continue;
    int32 offset = 0;
    ParamValue value = 0.0;
    const ParamID id = queue->getParameterId();
    if (IsPlugParam(id)) {
      if (piece.start != 0) continue;
      if (queue->getPoint(points - 1, offset, value) != kResultOk) continue;
      const int index = static_cast<int>(id);
      mPlug->GetParam(index)->SetFromNormalized(value);
      mPlug->OnParamChange(index);
    } else if (MidiMapping::IsMappingParam(id)) {
      // Every point is a controller message: a pedal released and pressed again within one
      // block must still release the notes.
      for (int32 p = 0; p < points; ++p) {
        if (queue->getPoint(p, offset, value) != kResultOk) continue;
        const int at = clampOffset(offset, piece.total);
        if (inPiece(at, piece.start, piece.length, piece.last))
          mPlug->ProcessMidiMsg(MidiMapping::MessageFor(id, value, at - piece.start));
      }
    }
  }
}

void Vst3Plugin::DeliverEvents(IEventList* events, const Piece& piece) {
  if (!events) return;
  const int32 count = events->getEventCount();
  for (int32 i = 0; i < count; ++i) {
    Event event{};
    if (events->getEvent(i, event) != kResultOk || event.busIndex != 0) continue;
    const int at = clampOffset(event.sampleOffset, piece.total);
    if (!inPiece(at, piece.start, piece.length, piece.last)) continue;
    if (event.type == Event::kDataEvent) {
      const DataEvent& data = event.data;
      if (data.type == DataEvent::kMidiSysEx && data.bytes && data.size > 0) {
        const uint32 maxSize = static_cast<uint32>(std::numeric_limits<int>::max());
        mPlug->ProcessSysEx(data.bytes, static_cast<int>(std::min(data.size, maxSize)),
                            at - piece.start);
      }
      continue;
    }
    IMidiMsg msg;
    if (MidiMsgFromEvent(event, msg)) {
      msg.offset = at - piece.start;
      mPlug->ProcessMidiMsg(msg);
    }
  }
}

void Vst3Plugin::RenderPiece(ProcessData& data, const Piece& piece) {
  AudioBusBuffers* bus = (data.numOutputs > 0 && data.outputs) ? &data.outputs[0] : nullptr;
  const int hostChannels = bus ? std::max(0, bus->numChannels) : 0;
  const bool is64 = data.symbolicSampleSize == kSample64;
  double* out[kMaxOutChannels];
  for (int c = 0; c < kMaxOutChannels; ++c) {
    double* host = nullptr;
    if (is64 && c < hostChannels && bus->channelBuffers64 && bus->channelBuffers64[c])
      host = bus->channelBuffers64[c] + piece.start;
    out[c] = host ? host : mScratch[c].data();
  }
  mPlug->ProcessBlock(nullptr, out, piece.length);
  if (!bus) return;
  bus->silenceFlags = 0;
  for (int c = 0; c < hostChannels; ++c) {
    if (is64) {
      double* dest = bus->channelBuffers64 ? bus->channelBuffers64[c] : nullptr;
      if (dest && c >= kMaxOutChannels) std::fill_n(dest + piece.start, piece.length, 0.0);
    } else {
      float* dest = bus->channelBuffers32 ? bus->channelBuffers32[c] : nullptr;
      if (!dest) continue;
      dest += piece.start;
      if (c >= kMaxOutChannels) {
        std::fill_n(dest, piece.length, 0.f);
        continue;
      }
      const double* src = out[c];
      for (int i = 0; i < piece.length; ++i) dest[i] = static_cast<float>(src[i]);
    }
  }
}

void Vst3Plugin::SendParamOut(IParameterChanges* changes, int start) {
  if (changes) {
    const PluginBase::ParamOut* out = mPlug->GetParamOut();
    for (int i = 0; i < mPlug->NParamOut(); ++i) {
      int32 queueIndex = 0;
      IParamValueQueue* queue =
          changes->addParameterData(static_cast<ParamID>(out[i].index), queueIndex);
      int32 pointIndex = 0;
      if (queue) queue->addPoint(start, out[i].normalized, pointIndex);
    }
  }
  mPlug->ClearParamOut();
}

void Vst3Plugin::SendMidiOut(IEventList* events, int start) {
  if (events) {
    const IMidiMsg* msgs = mPlug->MidiOut();
    for (int i = 0; i < mPlug->NMidiOut(); ++i) {
      Event event;
      if (!EventFromMidiMsg(msgs[i], event)) continue;
      event.sampleOffset += start;
      events->addEvent(event);
    }
  }
  mPlug->ClearMidiOut();
}

tresult PLUGIN_API Vst3Plugin::process(ProcessData& data) {
  if (!mSetUp) return kNotInitialized;
  if (data.numSamples < 0 || canProcessSampleSize(data.symbolicSampleSize) != kResultTrue)
    return kInvalidArgument;
  DenormalGuard denormals;
  const PluginBase::AudioThreadScope audioThread;
  // Hosts that never call setProcessing still get parameter edits dispatched here.
  if (!mPlug->IsProcessing()) mPlug->SetProcessing(true);

  TakeTransport(data.processContext);
  const ITimeInfo blockTime = mPlug->GetTimeInfo();
  mPlug->DrainScheduledParamChanges();

  Piece piece;
  piece.total = data.numSamples;
  do {
    piece.length = std::min(piece.total - piece.start, mMaxBlock);
    piece.last = piece.start + piece.length >= piece.total;
    if (piece.start > 0) {
      // The transport moves on with every piece of an oversized block.
      ITimeInfo time = blockTime;
      time.samplePos += piece.start;
      time.ppqPos += piece.start / mPlug->GetSampleRate() * time.tempo / 60.0;
      mPlug->SetTimeInfo(time);
    }
    ApplyParamChanges(data.inputParameterChanges, piece);
    DeliverEvents(data.inputEvents, piece);
    if (piece.length > 0) RenderPiece(data, piece);
    SendMidiOut(data.outputEvents, piece.start);
    SendParamOut(data.outputParameterChanges, piece.start);
    piece.start += piece.length;
  } while (piece.start < piece.total);
  return kResultOk;
}
