// The program store of the plug-in base: 64 named programs, each a stored state chunk.
//
// Threads: every operation owns the store for its whole run (ProgramStoreLock; the ownership
// rules are written where the store is declared). Values are stored atomically and applied
// through the plug-in's state reader, whose OnParamReset decides where the handlers run (on the
// audio thread through ScheduleParamChange while processing is on).
#include "framework/core/plugin_base.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr const char* kUserPresetName = "user preset";

// Copies a name into a program's fixed field, cut to fit without splitting a UTF-8 sequence.
void copyPresetName(IPreset& preset, const char* name, size_t length) {
  size_t n = std::min(length, static_cast<size_t>(IPreset::kNameSize - 1));
  const auto isContinuation = [&](size_t i) {
    return (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80;
  };
  // A cut before a continuation byte would split a character: cut before its lead byte.
  if (n < length)
    while (n > 0 && isContinuation(n)) --n;
  std::memmove(preset.name, name, n);
  preset.name[n] = '\0';
}

// Writes a state into a record's own storage: a copy keeps the capacity reserved for it.
void storeChunk(IPreset& preset, const IByteChunk& state) {
  preset.chunk.Clear();
  preset.chunk.AppendBytes(state.GetData(), state.Size());
}

// The live values, kept so that a rejected state can be undone. Fixed storage for the usual
// parameter counts keeps a program switch free of allocation.
class ParamSnapshot {
public:
  explicit ParamSnapshot(const PluginBase& plug) : mCount(plug.NParams()) {
    if (mCount > kFixed) mHeap.resize(static_cast<size_t>(mCount));
    double* values = data();
    for (int i = 0; i < mCount; ++i) values[i] = plug.GetParam(i)->GetValue();
  }

  void restoreValues(PluginBase& plug) const {
    const double* values = data();
    for (int i = 0; i < mCount && i < plug.NParams(); ++i) plug.GetParam(i)->SetValue(values[i]);
  }

private:
  static constexpr int kFixed = 256;
  double* data() { return mCount > kFixed ? mHeap.data() : mFixed; }
  const double* data() const { return mCount > kFixed ? mHeap.data() : mFixed; }

  int mCount;
  double mFixed[kFixed];
  std::vector<double> mHeap;
};
} // namespace

PluginBase::ProgramStoreLock::ProgramStoreLock(const PluginBase& plug)
    : mPlug(const_cast<PluginBase&>(plug)) {
  const std::thread::id me = std::this_thread::get_id();
  if (mPlug.mStoreOwner.load(std::memory_order_acquire) == me) {
    ++mPlug.mStoreDepth;
    mOwned = true;
    return;
  }
  std::thread::id none;
  if (OnAudioThread()) {
    mOwned = mPlug.mStoreOwner.compare_exchange_strong(none, me, std::memory_order_acq_rel);
  } else {
    mPlug.mStoreMutex.lock();
    mHoldsMutex = true;
    // Only the audio thread can own the store now, and only for one program change.
    while (!mPlug.mStoreOwner.compare_exchange_weak(none, me, std::memory_order_acq_rel)) {
      none = std::thread::id();
      std::this_thread::yield();
    }
    mOwned = true;
  }
  if (mOwned) {
    mOutermost = true;
    mPlug.mStoreDepth = 1;
  }
}

PluginBase::ProgramStoreLock::~ProgramStoreLock() {
  if (!mOwned) return;
  if (!mOutermost) {
    --mPlug.mStoreDepth;
    return;
  }
  const bool refresh = mPlug.mRefreshPending;
  mPlug.mRefreshPending = false;
  mPlug.mStoreDepth = 0;
  mPlug.mStoreOwner.store(std::thread::id(), std::memory_order_release);
  if (mHoldsMutex) mPlug.mStoreMutex.unlock();
  // Told after letting go: a host that answers with calls of its own finds the store free.
  if (refresh) mPlug.NotifyParamValuesChanged();
}

std::string PluginBase::GetPresetName(int index) const {
  if (index < 0 || index >= NPresets()) return "";
  const ProgramStoreLock store(*this);
  if (!store.Owned()) return "";
  const IPreset& preset = mPresets[static_cast<size_t>(index)];
  return std::string(preset.name, strnlen(preset.name, sizeof(preset.name)));
}

void PluginBase::SetPresetName(int index, const char* name, size_t length) {
  if (index < 0 || index >= NPresets() || !name) return;
  const ProgramStoreLock store(*this);
  if (store.Owned()) copyPresetName(mPresets[static_cast<size_t>(index)], name, length);
}

bool PluginBase::RunDeferredPresetChange() {
  const int index = mDeferredPreset;
  mDeferredPreset = -1;
  return index >= 0 && RestorePreset(index);
}

bool PluginBase::RestorePreset(int index) {
  if (index < 0 || index >= NPresets()) return false;
  const ProgramStoreLock store(*this);
  if (!store.Owned()) {
    // Another thread is changing programs or state: the audio thread comes back to this
    // program change before its next block.
    mDeferredPreset = index;
    return false;
  }
  IPreset& preset = mPresets[static_cast<size_t>(index)];

  if (!preset.initialized) {
    // An empty slot takes over the live sound under a fresh name. The state goes straight into
    // the slot's chunk, whose storage the plug-in reserves, so that a MIDI program change on
    // the audio thread allocates nothing.
    preset.chunk.Clear();
    if (!SerializeState(preset.chunk)) {
      preset.chunk.Clear();
      return false;
    }
    int userPresets = 0;
    for (const IPreset& p : mPresets)
      if (std::strstr(p.name, kUserPresetName)) ++userPresets;
    std::snprintf(preset.name, sizeof(preset.name), "%s %d", kUserPresetName, userPresets + 1);
    preset.initialized = true;
  } else {
    const ParamSnapshot before(*this);
    if (UnserializeState(preset.chunk, 0) < 0) {
      // The reader may have stored part of the values; a refused program changes nothing.
      before.restoreValues(*this);
      OnParamReset(EParamSource::kPresetRecall);
      return false;
    }
  }

  SetCurrentPresetIdx(index);
  OnPresetsModified();
  if (OnAudioThread()) {
    for (int i = 0; i < NParams(); ++i)
      SendParamChangeFromProcessor(i, GetParam(i)->GetNormalized());
    SendParamValuesToUI();
  } else {
    RequestParamValuesRefresh();
  }
  return true;
}

void PluginBase::ModifyCurrentPreset(const char* name) {
  const ProgramStoreLock store(*this);
  const int current = GetCurrentPresetIdx();
  if (!store.Owned() || current < 0 || current >= NPresets()) return;
  IPreset& preset = mPresets[static_cast<size_t>(current)];
  // The caller's name may live in the program record itself; copy it before writing.
  const std::string newName = name ? name : "";
  IByteChunk state;
  if (!SerializeState(state)) return;
  storeChunk(preset, state);
  preset.initialized = true;
  if (!newName.empty()) copyPresetName(preset, newName.data(), newName.size());
}

bool PluginBase::SerializePresets(IByteChunk& chunk) const {
  const ProgramStoreLock store(*this);
  if (!store.Owned()) return false;
  for (const IPreset& preset : mPresets) {
    const int32_t length = static_cast<int32_t>(strnlen(preset.name, sizeof(preset.name)));
    chunk.AppendValue(&length);
    chunk.AppendBytes(preset.name, length);
    // A stateless record flagged as initialised would swallow the programs after it.
    const bool withState = preset.initialized && preset.chunk.Size() > 0;
    const uint8_t flags = withState ? 1 : 0;
    chunk.AppendValue(&flags);
    if (withState) chunk.AppendBytes(preset.chunk.GetData(), preset.chunk.Size());
  }
  return true;
}

int PluginBase::UnserializePresets(const IByteChunk& chunk, int startPos) {
  // Each program is taken whole or not at all; the state reader is the only one that knows
  // where a state ends, so it runs on the live parameters, which are put back afterwards. The
  // store is owned throughout, so the engine never hears the programs in between.
  const ProgramStoreLock store(*this);
  if (!store.Owned()) return kNoPresetRead;
  const ParamSnapshot before(*this);
  bool liveTouched = false;
  int pos = startPos;
  int loaded = 0;

  for (int i = 0; i < NPresets(); ++i) {
    int32_t length = 0;
    int p = chunk.ReadValue(&length, pos);
    if (p < 0 || length < 0 || static_cast<int64_t>(p) + length > chunk.Size()) break;
    const char* text = reinterpret_cast<const char*>(chunk.GetData() + p);
    const size_t nameLength = strnlen(text, static_cast<size_t>(length));
    p += length;

    uint8_t flags = 0;
    p = chunk.ReadValue(&flags, p);
    if (p < 0) break;

    IPreset& preset = mPresets[static_cast<size_t>(i)];
    if ((flags & 1) == 0) {
      copyPresetName(preset, text, nameLength);
      preset.initialized = false;
      preset.chunk.Clear();
    } else {
      liveTouched = true;
      const int end = UnserializeState(chunk, p);
      if (end < 1) break;
      // Stored again from the live values, so every program holds the current layout.
      IByteChunk state;
      if (!SerializeState(state)) break;
      copyPresetName(preset, text, nameLength);
      storeChunk(preset, state);
      preset.initialized = true;
      p = end;
    }
    pos = p;
    ++loaded;
  }
  const bool complete = loaded == NPresets();

  if (liveTouched) before.restoreValues(*this);
  const int current = GetCurrentPresetIdx();
  const bool currentHasState =
      current >= 0 && current < NPresets() && mPresets[static_cast<size_t>(current)].initialized;
  if (loaded == 0) {
    if (liveTouched) OnParamReset(EParamSource::kPresetRecall);
    return kNoPresetRead;
  }
  // RestorePreset runs the handlers when it applies a state; otherwise the engine must still
  // hear the values that were put back.
  if (liveTouched && !currentHasState) OnParamReset(EParamSource::kPresetRecall);
  RestorePreset(current);
  return complete ? pos : -1;
}
