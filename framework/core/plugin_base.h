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
#include <string>
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
  virtual bool SerializeState(IByteChunk& chunk) const { return SerializeParams(chunk); }
  virtual int UnserializeState(const IByteChunk& chunk, int startPos) {
    return UnserializeParams(chunk, startPos);
  }
  // The host's own saved state; a plug-in may restore more from it than from a program.
  virtual int UnserializeHostState(const IByteChunk& chunk, int startPos) {
    return UnserializeState(chunk, startPos);
  }
  bool SerializeParams(IByteChunk& chunk) const;
  int UnserializeParams(const IByteChunk& chunk, int startPos);

  // Programs (defined in plugin_presets.cpp).
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPreset; }
  std::string GetPresetName(int index) const;
  bool RestorePreset(int index);
  void ModifyCurrentPreset(const char* name = nullptr);
  bool SerializePresets(IByteChunk& chunk) const;
  // Returns the position after the bank payload, -1 when it ends early after at least one
  // program, or kNoPresetRead when not even program 0 could be read (then nothing changed).
  int UnserializePresets(const IByteChunk& chunk, int startPos);
  static constexpr int kNoPresetRead = -2;
  IPreset& GetPreset(int index) { return mPresets[static_cast<size_t>(index)]; }
  virtual void OnPresetsModified() {}
  // Brings the editor's controls to the parameters' values after a program change; called on
  // the thread that changed the program, so an editor defers the drawing to its own thread.
  virtual void SendParamValuesToUI() {}

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
  std::vector<IPreset> mPresets;
  int mCurrentPreset = 0;

private:
  Config mConfig;
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
