#include "framework/core/plugin_base.h"

PluginBase::PluginBase(const Config& config)
    : mNPresets(config.nPresets > 0 ? config.nPresets : 0),
      mPresets(static_cast<size_t>(mNPresets)), mConfig(config),
      mControllerValues(new std::atomic<double>[static_cast<size_t>(config.nParams)]),
      mParamPending(new std::atomic<bool>[static_cast<size_t>(config.nParams)]) {
  mParams.reserve(static_cast<size_t>(config.nParams));
  for (int i = 0; i < config.nParams; ++i) {
    mParams.push_back(std::make_unique<IParam>());
    mParamPending[static_cast<size_t>(i)].store(false);
    mControllerValues[static_cast<size_t>(i)].store(0.0);
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
  SetControllerValue(index, n);
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
  // While another thread changes programs or state, its values wait: the engine hears the
  // change once, complete.
  const ProgramStoreLock store(*this);
  if (!store.Owned()) return;
  RunDeferredPresetChange();
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
  SetControllerValue(index, normalized);
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

int PluginBase::UnserializeHostState(const IByteChunk& chunk, int startPos) {
  // Plug-ins with their own format read in place; a refused state is put back before any
  // handler can hear it, since the store's owner holds them back.
  const ProgramStoreLock store(*this);
  if (!store.Owned()) return -1;
  std::vector<double> before(static_cast<size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i) before[static_cast<size_t>(i)] = GetParam(i)->GetValue();
  const int pos = UnserializeState(chunk, startPos);
  if (pos < 0) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetValue(before[static_cast<size_t>(i)]);
    OnParamReset(EParamSource::kPresetRecall);
  }
  return pos;
}

double PluginBase::GetControllerValue(int index) const {
  if (index < 0 || index >= NParams()) return 0.0;
  return mControllerValues[static_cast<size_t>(index)].load(std::memory_order_relaxed);
}

void PluginBase::SetControllerValue(int index, double normalized) {
  if (index < 0 || index >= NParams()) return;
  mControllerValues[static_cast<size_t>(index)].store(normalized, std::memory_order_relaxed);
}

void PluginBase::SyncControllerValues() {
  for (int i = 0; i < NParams(); ++i) SetControllerValue(i, GetParam(i)->GetNormalized());
}

void PluginBase::NotifyParamValuesChanged() {
  SyncControllerValues();
  if (mHost) mHost->ParamValuesChanged();
  SendParamValuesToUI();
}
