#pragma once
// The framework's plug-in base: parameters, programs, state and the operations a host adapter
// drives. Knows nothing of VST3; the adapter in framework/vst3 wraps it for hosts.
#include "framework/core/byte_chunk.h"
#include "framework/core/midi_msg.h"
#include "framework/core/param.h"
#include "framework/core/plugin_config.h"
#include "framework/core/preset.h"
#include "framework/core/time_info.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class EParamSource { kReset, kHost, kPresetRecall, kUI };

// What the plug-in may ask of its host; the adapter implements it.
class IHostCallbacks {
public:
  virtual ~IHostCallbacks() = default;
  virtual void BeginEdit(int paramId) = 0;
  virtual void PerformEdit(int paramId, double normalized) = 0;
  virtual void EndEdit(int paramId) = 0;
  // Every parameter value may have changed (program or state restore).
  virtual void ParamValuesChanged() = 0;
};

class PluginBase {
public:
  static constexpr int kMidiOutCapacity = 1024;

  explicit PluginBase(const Config& config);
  virtual ~PluginBase();
  PluginBase(const PluginBase&) = delete;
  PluginBase& operator=(const PluginBase&) = delete;

  const Config& GetConfig() const { return mConfig; }

  // Parameters.
  int NParams() const { return static_cast<int>(mParams.size()); }
  IParam* GetParam(int index) { return mParams[static_cast<size_t>(index)].get(); }
  const IParam* GetParam(int index) const { return mParams[static_cast<size_t>(index)].get(); }
  virtual void OnParamChange(int /*index*/) {}
  // Runs every handler in index order; off the audio thread while processing, they run on the
  // audio thread before the next block instead.
  void OnParamReset(EParamSource source);
  // Sets a parameter from a normalised value, tells the host (through the block's output on the
  // audio thread) and runs its handler where it is safe: at once on the audio thread or while
  // processing is off, otherwise on the audio thread before the next block.
  void SetParameterValue(int index, double normalized);
  // Runs the handler of a parameter whose value was stored on a thread other than the audio one.
  void ScheduleParamChange(int index);
  void BeginInformHostOfParamChange(int index);
  void InformHostOfParamChange(int index, double normalized);
  void EndInformHostOfParamChange(int index);

  // Audio, called by the adapter on the audio thread.
  virtual void OnReset() {}
  virtual void OnActivate(bool /*active*/) {}
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames) = 0;
  virtual void ProcessMidiMsg(const IMidiMsg& /*msg*/) {}
  virtual void ProcessSysEx(const uint8_t* /*data*/, int /*size*/, int /*offset*/) {}
  void DrainScheduledParamChanges();

  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  const ITimeInfo& GetTimeInfo() const { return mTimeInfo; }
  int NOutChannels() const { return mOutChannels; }
  bool IsProcessing() const { return mProcessing.load(std::memory_order_acquire); }

  // Marks the calling thread as the audio thread while the adapter processes a block, so that
  // work started there (MIDI program change, learnt controllers) runs at once and reports to the
  // host through the block's output instead of the user-interface channel.
  class AudioThreadScope {
  public:
    AudioThreadScope();
    ~AudioThreadScope();
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;
  };
  static bool OnAudioThread();

  // MIDI output, collected during a block and sent by the adapter after it.
  bool SendMidiMsg(const IMidiMsg& msg);
  int NMidiOut() const { return mMidiOutCount; }
  const IMidiMsg* MidiOut() const { return mMidiOut; }
  void ClearMidiOut() { mMidiOutCount = 0; }

  // Parameter changes made on the audio thread (MIDI learn), reported to the host by the adapter
  // with the block's output parameter changes rather than through the user-interface channel.
  struct ParamOut {
    int index;
    double normalized;
  };
  bool SendParamChangeFromProcessor(int index, double normalized);
  int NParamOut() const { return mParamOutCount; }
  const ParamOut* GetParamOut() const { return mParamOut; }
  void ClearParamOut() { mParamOutCount = 0; }

  // State.
  // The position after a complete state at startPos, or -1 when any part of it is missing.
  // Applies nothing, so that a state can be refused before any of it is heard.
  virtual int StateEnd(const IByteChunk& chunk, int startPos) const {
    const int64_t end = static_cast<int64_t>(startPos) + 8 * static_cast<int64_t>(NParams());
    return startPos >= 0 && end <= chunk.Size() ? static_cast<int>(end) : -1;
  }

  virtual bool SerializeState(IByteChunk& chunk) const { return SerializeParams(chunk); }
  virtual int UnserializeState(const IByteChunk& chunk, int startPos) {
    return UnserializeParams(chunk, startPos);
  }
  // The host's own saved state; a plug-in may restore more from it than from a program. A state
  // that is refused (-1) changes nothing.
  virtual int UnserializeHostState(const IByteChunk& chunk, int startPos);
  bool SerializeParams(IByteChunk& chunk) const;
  int UnserializeParams(const IByteChunk& chunk, int startPos);

  // What the edit controller reports to the host and the editor shows, normalised. It follows
  // the processor's values on every change the plug-in makes, while the host's controller calls
  // (setParamNormalized) change only this side: a late echo of an older value never reaches the
  // sound that plays and is saved.
  double GetControllerValue(int index) const;
  void SetControllerValue(int index, double normalized);
  // The controller side takes the processor's values.
  void SyncControllerValues();
  // Brings the controller side to the processor's values, tells the host that every value may
  // have changed and refreshes the editor. Not on the audio thread.
  void NotifyParamValuesChanged();

  // Programs (defined in plugin_presets.cpp).
  int NPresets() const { return mNPresets; }
  int GetCurrentPresetIdx() const { return mCurrentPreset.load(std::memory_order_acquire); }
  std::string GetPresetName(int index) const;
  bool RestorePreset(int index);
  void ModifyCurrentPreset(const char* name = nullptr);
  // Renames a program (cut to the name field without splitting a UTF-8 character).
  void SetPresetName(int index, const char* name, size_t length);
  bool SerializePresets(IByteChunk& chunk) const;
  // Returns the position after the bank payload, -1 when it ends early after at least one
  // program, or kNoPresetRead when not even program 0 could be read (then nothing changed).
  int UnserializePresets(const IByteChunk& chunk, int startPos);
  static constexpr int kNoPresetRead = -2;
  // Direct access to a record: only while owning the store (ProgramStoreLock), or before the
  // plug-in is shared with a host.
  IPreset& GetPreset(int index) { return mPresets[static_cast<size_t>(index)]; }
  const IPreset& GetPreset(int index) const { return mPresets[static_cast<size_t>(index)]; }
  virtual void OnPresetsModified() {}
  // Brings the editor's controls to the parameters' values after a program change; called on
  // the thread that changed the program, so an editor defers the drawing to its own thread.
  virtual void SendParamValuesToUI() {}

  // Sole ownership of the program store for a scope. Re-entrant on the owning thread. On the
  // audio thread it never waits: Owned() is false when another thread has the store. Elsewhere
  // it waits for the owner. While another thread owns the store, the audio thread holds back
  // the parameter handlers queued for it, so that the engine hears a program, bank or state
  // change once, complete. Host and editor are told of changed values when the outermost
  // owner lets go.
  class ProgramStoreLock {
  public:
    explicit ProgramStoreLock(const PluginBase& plug);
    ~ProgramStoreLock();
    ProgramStoreLock(const ProgramStoreLock&) = delete;
    ProgramStoreLock& operator=(const ProgramStoreLock&) = delete;
    bool Owned() const { return mOwned; }

  private:
    PluginBase& mPlug;
    bool mOwned = false;
    bool mOutermost = false;
    bool mHoldsMutex = false;
  };

  // User-interface thread.
  virtual void OnIdle() {}

  // Adapter side.
  void SetHostCallbacks(IHostCallbacks* host) { mHost = host; }
  void SetSampleRate(double rate) { mSampleRate = rate; }
  void SetBlockSize(int frames) { mBlockSize = frames; }
  void SetOutChannels(int channels) { mOutChannels = channels; }
  void SetTimeInfo(const ITimeInfo& info) { mTimeInfo = info; }
  void SetProcessing(bool processing) { mProcessing.store(processing, std::memory_order_release); }

protected:
  // Asks for NotifyParamValuesChanged once the store's outermost owner lets go (owner only).
  void RequestParamValuesRefresh() { mRefreshPending = true; }
  void SetCurrentPresetIdx(int index) { mCurrentPreset.store(index, std::memory_order_release); }

private:
  // The program store. Threads: the audio thread (MIDI program change), the user-interface
  // thread (program menu, name, save, paste, init, bank and program files) and the host's main
  // thread (state, program names) all reach it, and only through ProgramStoreLock: one owner at
  // a time. The records are made once at construction and never reallocated; a record's chunk
  // is written by copying into its storage, which the plug-in reserves for the largest state,
  // so that filling a record on the audio thread allocates nothing. Non-audio owners queue on a
  // mutex and then wait for the audio thread, which holds the store only for one program change;
  // the audio thread only tries, and a program change that finds the store taken is carried out
  // before the next block. mCurrentPreset is written by the owner and read by anyone.
  const int mNPresets;
  std::vector<IPreset> mPresets;
  std::atomic<int> mCurrentPreset{0};
  mutable std::mutex mStoreMutex;
  mutable std::atomic<std::thread::id> mStoreOwner{};
  int mStoreDepth = 0;
  bool mRefreshPending = false;
  int mDeferredPreset = -1; // audio thread only
  bool RunDeferredPresetChange();

  Config mConfig;
  std::unique_ptr<std::atomic<double>[]> mControllerValues;
  std::vector<std::unique_ptr<IParam>> mParams;
  std::unique_ptr<std::atomic<bool>[]> mParamPending;
  std::atomic<bool> mAnyParamPending{false};
  IHostCallbacks* mHost = nullptr;
  double mSampleRate = 44100.0;
  int mBlockSize = 512;
  int mOutChannels = 2;
  ITimeInfo mTimeInfo;
  std::atomic<bool> mProcessing{false};
  IMidiMsg mMidiOut[kMidiOutCapacity];
  int mMidiOutCount = 0;
  ParamOut mParamOut[kMidiOutCapacity];
  int mParamOutCount = 0;
};

// Implemented by the plug-in: its configuration (read by the factory before any instance
// exists) and the construction of the one plug-in class of this binary.
const Config& PlugConfig();
std::unique_ptr<PluginBase> MakePlug();
