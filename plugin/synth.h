#pragma once
// The synthesizer base: configuration, programs, MIDI learn and the held-key set, shared by the
// plug-in class and independent of its engine.
#include "framework/core/plugin_base.h"
#include "plugin/midi_queue.h"

#include <array>
#include <string>

class Synth : public PluginBase {
public:
  static constexpr int kNumKeys = 128;
  static constexpr int kNumLearnableCCs = 120;

  explicit Synth(const Config& config);
  ~Synth() override;

  void OnParamChange(int index) override;
  void OnReset() override;
  void OnActivate(bool active) override;

  virtual void createGraphics() {}
  virtual void allNotesOff() {}
  virtual void initParameters() {}
  // The host sees program switches as edits of this parameter (the program list's ID).
  static constexpr int kProgramParamId = 65537;

  virtual void changePreset(int index);
  void initPreset();
  void copyPreset();
  void pastePreset();
  void initAllPrograms();
  std::string builtInBankPath() const;

  // MIDI learn: a controller arrived while learning was armed.
  void setMidiLearnCC(int cc);

  // Held keys: velocity per key (0 = not held) and their count.
  void addPressedKey(int key, int velocity);
  void removePressedKey(int key);
  void clearKeyBuffer();
  int pressedKeyCount() const { return mPressedKeyCount; }
  bool isKeyPressed(int key) const { return key >= 0 && key < kNumKeys && mPressedKeys[key] > 0; }

  int controlPeriod = 0;
  int periodRemaining = 0;

  // Configuration.
  std::string homePath;
  std::string pluginFolder;
  std::string iniPath;
  std::string programPath;
  std::string startupBank;
  double editorScale = 0.5;
  bool midiThru = false;
  bool ignoreProgramChange = false;
  std::array<int, kNumLearnableCCs> ccMap;

  // MIDI learn.
  bool midiLearnActive = false;
  bool midiUnlearn = false;
  int learnCC = -1;
  int learnParam = -1;

  // Program copy buffer.
  IByteChunk copyBuffer;
  int copySource = -1;

protected:
  MidiQueue midiQueue;

private:
  std::array<int, kNumKeys> mPressedKeys{};
  int mPressedKeyCount = 0;
};
