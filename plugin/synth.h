#pragma once
// The synthesizer base: configuration, programs, MIDI learn and the held-key set, shared by the
// plug-in class and independent of its engine.
#include "dsp/pitch.h"
#include "framework/core/plugin_base.h"
#include "plugin/midi_learn.h"
#include "plugin/midi_queue.h"

#include <array>
#include <atomic>
#include <string>

class IPlatformDialogs;

class Synth : public PluginBase {
public:
  static constexpr int kNumKeys = 128;
  static constexpr int kNumLearnableCCs = 120;
  // loadConfig's result when there is no INI file.
  static constexpr int kConfigFileMissing = 11;

  // Locates the settings folder and reads the configuration; the plug-in folder is where the
  // bundle lies (and where a legacy configuration may wait).
  explicit Synth(const Config& config);
  Synth(const Config& config, const std::string& bundleFolder);
  ~Synth() override;

  void OnParamChange(int index) override;
  void OnReset() override;
  void OnActivate(bool active) override;

  virtual void createGraphics() {}
  virtual void allNotesOff() {}
  virtual void initParameters() {}
  // Editor hooks: the open editor's scale, and resizing it to editorScale.
  virtual double currentEditorScale() const { return editorScale; }
  virtual void resizeUI() {}
  // The program list's ID, as which the host sees program switches.
  static constexpr int kProgramParamId = 65537;

  virtual void changePreset(int index);
  void initPreset();
  void copyPreset();
  void pastePreset();
  void initAllPrograms();
  std::string builtInBankPath() const;

  // Configuration file. The writers return false when the file could not be written.
  int loadConfig();
  bool saveConfig(int scope);
  bool storeProgramPath(const char* path = nullptr);
  static bool fileExists(const std::string& path);
  bool configWritable() const;

  // Startup bank. setStartupFxb returns 0, or -1 when the INI file could not be written.
  int setStartupFxb(const std::string& path);
  bool unsetStartupFxb();
  bool saveStartupFxb();

  // MIDI learn. doMidiLearn/doMidiUnlearn come from the learn button (user-interface thread);
  // setMidiLearnCC from MIDI input (audio thread) while learning is armed.
  void doMidiLearn(bool on);
  void doMidiUnlearn(bool on);
  void setMidiLearnCC(int cc);
  bool isMidiUnlearn() const { return midiLearnActive.unlearning(); }
  int getLearnCC() const { return midiLearnActive.cc(); }
  int getLearnParam() const { return midiLearnActive.param(); }
  // True once per finished learn: the editor's OnIdle switches the learn button off.
  bool takeLearnButtonOffRequest() {
    return learnButtonOffRequest.exchange(false, std::memory_order_acq_rel);
  }

  // Online version check against versionCheckBaseUrl (another address only in tests).
  int checkVersionAgainstWeb();
  std::string versionCheckBaseUrl;

  // Dialogs and message boxes of the desktop, or a stand-in.
  IPlatformDialogs& dialogs() const { return *mDialogs; }
  void setDialogs(IPlatformDialogs* dialogs);

  // Pitch units (1/128 semitone from MIDI note 0) to Hertz.
  static double convert2Hz(int pitch) { return ::convert2Hz(pitch); }

  // Held keys: velocity per key (0 = not held) and their count.
  void addPressedKey(int key, int velocity);
  void removePressedKey(int key);
  void clearKeyBuffer();
  int pressedKeyCount() const { return mPressedKeyCount; }
  bool isKeyPressed(int key) const { return key >= 0 && key < kNumKeys && mPressedKeys[key] > 0; }

  int controlPeriod = 0;
  int periodRemaining = 0;

  // Configuration. The MIDI switches and ccMap are read by the audio thread.
  std::string homePath;
  std::string pluginFolder;
  std::string iniPath;
  std::string programPath;
  std::string startupBank;
  double editorScale = 0.5;
  std::atomic<bool> midiThru{false};
  std::atomic<bool> ignoreProgramChange{false};
  std::array<std::atomic<int>, kNumLearnableCCs> ccMap;

  // MIDI learn: true (as a condition) while a learn or unlearn runs.
  MidiLearnState midiLearnActive;
  std::atomic<bool> learnButtonOffRequest{false};

  // Program copy buffer.
  IByteChunk copyBuffer;
  int copySource = -1;

protected:
  MidiQueue midiQueue;

private:
  void setUpConfiguration();
  void finishLearn(const MidiLearnState::Transition& done);

  IPlatformDialogs* mDialogs;
  std::array<int, kNumKeys> mPressedKeys{};
  int mPressedKeyCount = 0;
};
