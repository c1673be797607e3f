#include "framework/core/plugin_base.h"

PluginBase::PluginBase(const Config& config)
    : mPresets(static_cast<size_t>(config.nPresets > 0 ? config.nPresets : 0)), mConfig(config),
      mParamPending(new std::atomic<bool>[static_cast<size_t>(config.nParams)]) {
  mParams.reserve(static_cast<size_t>(config.nParams));
  for (int i = 0; i < config.nParams; ++i) {
    mParams.push_back(std::make_unique<IParam>());
    mParamPending[static_cast<size_t>(i)].store(false);
  }
}

PluginBase::~PluginBase() = default;

void PluginBase::OnParamReset(EParamSource /*source*/) {
  for (int i = 0; i < NParams(); ++i) ScheduleParamChange(i);
}

void PluginBase::SetParameterValue(int index, double normalized) {
  if (index < 0 || index >= NParams()) return;
  IParam* param = GetParam(index);
  param->SetFromNormalized(normalized);
  const double n = param->GetNormalized();
  if (OnAudioThread()) {
    SendParamChangeFromProcessor(index, n);
  } else {
    BeginInformHostOfParamChange(index);
    InformHostOfParamChange(index, n);
    EndInformHostOfParamChange(index);
  }
  ScheduleParamChange(index);
}

namespace {
thread_local bool tOnAudioThread = false;
} // namespace

PluginBase::AudioThreadScope::AudioThreadScope() {
  tOnAudioThread = true;
}
PluginBase::AudioThreadScope::~AudioThreadScope() {
  tOnAudioThread = false;
}
bool PluginBase::OnAudioThread() {
  return tOnAudioThread;
}

void PluginBase::ScheduleParamChange(int index) {
  if (index < 0 || index >= NParams()) return;
  if (OnAudioThread() || !IsProcessing()) {
    OnParamChange(index);
    return;
  }
  mParamPending[static_cast<size_t>(index)].store(true, std::memory_order_release);
  mAnyParamPending.store(true, std::memory_order_release);
}

void PluginBase::DrainScheduledParamChanges() {
  if (!mAnyParamPending.exchange(false, std::memory_order_acq_rel)) return;
  for (int i = 0; i < NParams(); ++i)
    if (mParamPending[static_cast<size_t>(i)].exchange(false, std::memory_order_acq_rel))
      OnParamChange(i);
}

void PluginBase::BeginInformHostOfParamChange(int index) {
  if (mHost) mHost->BeginEdit(index);
}

void PluginBase::InformHostOfParamChange(int index, double normalized) {
  if (mHost) mHost->PerformEdit(index, normalized);
}

void PluginBase::EndInformHostOfParamChange(int index) {
  if (mHost) mHost->EndEdit(index);
}

bool PluginBase::SendMidiMsg(const IMidiMsg& msg) {
  if (mMidiOutCount >= kMidiOutCapacity) return false;
  mMidiOut[mMidiOutCount++] = msg;
  return true;
}

bool PluginBase::SendParamChangeFromProcessor(int index, double normalized) {
  if (mParamOutCount >= kMidiOutCapacity) return false;
  mParamOut[mParamOutCount++] = {index, normalized};
  return true;
}

bool PluginBase::SerializeParams(IByteChunk& chunk) const {
  for (int i = 0; i < NParams(); ++i) {
    const double value = GetParam(i)->GetValue();
    chunk.AppendValue(&value);
  }
  return true;
}

int PluginBase::UnserializeParams(const IByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double value = 0.0;
    pos = chunk.ReadValue(&value, pos);
    if (pos >= 0) GetParam(i)->SetValue(value);
  }
  OnParamReset(EParamSource::kPresetRecall);
  return pos;
}
