#pragma once
// The instrument: owns the engine, declares the parameters and turns host calls into sound.
#include "dsp/clock.h"
#include "dsp/ensemble.h"
#include "dsp/filter_tables.h"
#include "dsp/geg.h"
#include "dsp/mg.h"
#include "dsp/peak_eq.h"
#include "dsp/resonator.h"
#include "dsp/sg.h"
#include "dsp/sh.h"
#include "dsp/voice.h"
#include "dsp/voice_lanes.h"
#include "plugin/param_ids.h"
#include "plugin/synth.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class IControl;
class IGraphics;
class IVellPresetName;
class IVellInfoBubble;
class IVellSwitchMidiLearn;

class Varnel : public Synth {
public:
  static constexpr int kNumVoices = 64;
  static constexpr int kNumPrograms = 64;
  static constexpr int kNumEqBands = 7;
  static constexpr int kNumResonators = 3;
  static constexpr int kNumTriggers = 10;
  // Modulation sources by their selector item (labelModSrc).
  enum EModSource {
    kSrcOff = 0,
    kSrcPlus5V,
    kSrcMinus5V,
    kSrcGE1,
    kSrcGE2,
    kSrcGE3,
    kSrcMod,
    kSrcMG1,
    kSrcMG2,
    kSrcSH,
    kSrcVP1,
    kSrcVP2,
    kSrcAdd,
    kSrcKey,
    kSrcAft,
    kSrcPB,
    kSrcPBPlus,
    kSrcMW,
    kSrcMWPlus,
    kSrcVC1,
    kSrcVC2,
    kSrcVC3,
    kSrcVC4,
    kNumModSources
  };
  // Trigger flags by their selector item minus one (labelTrigSrc).
  enum ETrigger {
    kTrigKbd = 0,
    kTrigSng,
    kTrigMlt,
    kTrigMG1,
    kTrigMG2,
    kTrigSH,
    kTrigClk1,
    kTrigClk2,
    kTrigTrg1,
    kTrigTrg2
  };

  Varnel();
  ~Varnel() override;

  void OnReset() override;
  void OnParamChange(int index) override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(const IMidiMsg& msg) override;
  void initParameters() override;
  void allNotesOff() override;

  // State chunk: marker, program index and name, then the 124 values.
  bool SerializeState(IByteChunk& chunk) const override;
  int UnserializeState(const IByteChunk& chunk, int startPos) override;
  int UnserializeHostState(const IByteChunk& chunk, int startPos) override {
    return unserializeVellsoundState(chunk, startPos);
  }
  int unserializeVellsoundState(const IByteChunk& chunk, int startPos);
  static bool isNewVersion_1_1_1(const IByteChunk& chunk, int pos);
  int StateEnd(const IByteChunk& chunk, int startPos) const override;

  const double* getModSource(int item) const;
  const bool* getTrigger(int item) const;

  // Note handling, run while draining the MIDI queue.
  void handleMidiEvents();
  void setNoteOn(int key, int velocity);
  void setNoteOff(int key);

  // The per-period control update: every modulation value of the period.
  void update(int count);

  // The two 12-note tuning tables (0: table 1, else table 2): temperament presets and Scala
  // files. User-interface thread; every write goes through the host-notifying path.
  void setMicroTuning(int table, int preset);
  int getMicroTuning(int table) const;
  void loadMicroTuning(int table);
  void saveMicroTuning(int table);
  // The parameter of degree 1..12 (A# .. A) of a table.
  static int tuningParam(int table, int degree);

  // ---- Editor ----
  // The six size choices of the "Window Size" menu.
  enum GUISize : int { kSize50, kSize75, kSize100, kSize200, kSize400, kSize800 };
  static float scaleOf(GUISize size);
  // Installs the editor's view factory.
  void createGraphics() override;
  // Makes the editor of one opening of the window and builds the panel; the window calls
  // closeEditor before it destroys it.
  std::unique_ptr<IGraphics> openEditor();
  void layoutEditor(IGraphics& g);
  void closeEditor(IGraphics& g);
  IGraphics* getEditor() const { return editor; }
  // Where the editor finds its pictures and font; empty: the bundle's Resources folder.
  std::string editorResourcePath;
  bool editorOpen() const;
  // Scale: a size choice, or a scale (0 or less does nothing); resizeUI() follows editorScale.
  void resizeUI() override;
  void resizeUI(GUISize size);
  void resizeUI(float scale);
  double currentEditorScale() const override;
  // Every 20 ms on the user-interface thread: lamps, and what the audio thread asked for.
  void OnIdle() override;
  // Lamps and name of the program section follow the current program.
  void updatePresetControls();
  void changePreset(int index) override;
  // The editor shows the resonator controls (true) or the equaliser: any thread, carried out on
  // the user-interface thread.
  void showResonators(bool on);
  std::atomic<int> resonatorPanelRequest{-1};
  // The manual trigger: the next control period sees one rising edge of "Trg1".
  void manualTrigger() { manualTriggerRequest.store(true, std::memory_order_release); }
  std::atomic<bool> manualTriggerRequest{false};

  int bank = 0, programInBank = 0;
  // What the layout keeps of the open editor (valid while `editor` is set).
  struct EditorRefs {
    IVellPresetName* presetName = nullptr;
    IControl* bankLamps[4] = {};
    IControl* programLamps[16] = {};
    IControl* resBack = nullptr;
    IControl* resControls[6] = {};
    IControl* eqBack = nullptr;
    IControl* eqKnobs[7] = {};
    IControl* activityLamps[4] = {}; // S/H, MG1, MG2, GEG
    bool lampOn[4] = {};
    IVellInfoBubble* infoBubble = nullptr;
    IVellSwitchMidiLearn* learnButton = nullptr;
  } ui;

  double engineRate = 0.0;
  SG sg1, sg2;
  FilterTables filterTables;
  Voice voices[kNumVoices];
  // Bit i is set while voices[i] sounds: set at note-on, cleared when its envelope has ended, so
  // the per-period and per-chunk work visits only the sounding voices, in engine order.
  uint64_t activeVoices = 0;
  static_assert(kNumVoices <= 64, "one bit per voice");
  // Voices in SIMD lanes (the best the CPU offers) or one by one, chosen when the engine is made.
  VoiceLanes::Path voicePath = VoiceLanes::defaultPath();
  PeakEQ eq[kNumEqBands];
  Resonator resonators[kNumResonators];
  Ensemble ensemble;
  Clock clock;
  SH sh{&clock};
  GEG geg;
  MG mg1{&clock}, mg2{&clock}, pwmMg{&clock};

  // Work buffers: one control period each, reallocated only when the sample rate changes.
  std::unique_ptr<double[]> sectionBuf;
  std::unique_ptr<double[]> voiceMixBuf;
  std::unique_ptr<double[]> finalGainBuf;
  std::unique_ptr<double[]> amModBuf;
  std::unique_ptr<int32_t[]> sg1PitchBuf;
  std::unique_ptr<int32_t[]> sg2PitchBuf;
  std::unique_ptr<int32_t[]> cutoffCtlBuf;
  int bufferLength = -1;

  // Engine settings, written by the parameter handlers.
  bool fmReverse = false, fmModOn = false, cutoffModOn = false, vca2FromVp1 = false;
  bool shInputRandom = false, vp2OwnInput = true;
  double pwmDepth = 0, fmShMg = 0, fmTExt = 0, fm2Ext = 0, pbRange = 0, shMg1Mix = 1;
  double mg1Freq = 0.2, mg1FreqNorm = 0, mg2Freq = 0.2, shFreq = 0.2;
  double vca1Level = 1, finalLevel = 0.5, directLevel = 0, finalPan = 0.5, directPan = 0.5;
  double cutoffMg1 = 0, cutoffGeg = 0, resMod = 0, amDepth = 0;
  double vp1A = 0, vp1B = 0, vp2A = 0, vp2B = 0, add1 = 0, add2 = 0;
  int clock1Rate = 0, clock2Rate = 0, trigger1Cc = 0, trigger2Cc = 0;
  int vcCc[4] = {};
  int cutoffControl = 17280, cutoffRampSteps = 0;
  double cutoffValue = 1.0, cutoffRampStep = 0.0;
  bool ensembleOn = false, resonatorsOn = false;
  bool eqBandOn[kNumEqBands] = {};
  int kbdTrigger = 0;
  const double plus5V = 1.0, minus5V = -1.0;

  // Source values (1.0 is 5 V) and trigger flags.
  double modValue = 0, mg1Value = 0, mg2Value = 0, shValue = 0;
  double vp1Value = 0, vp2Value = 0, adderValue = 0;
  double lastKey = 0, aftertouch = 0, pitchBend = 0, pitchBendPos = 0;
  double modWheel = 0, modWheelPos = 0;
  double vcValue[4] = {};
  bool trigState[2] = {}, trigPrevState[2] = {};
  bool triggers[kNumTriggers] = {};
  int noteOnCounter = 0;

  // Source and trigger selections: null means off.
  const double *fmTSrc = nullptr, *scl1Src = nullptr, *pwm1Src = nullptr, *fm2Src = nullptr;
  const double *scl2Src = nullptr, *pwm2Src = nullptr, *cutoffSrc = nullptr;
  const double *resCutoffSrc = nullptr, *vca1Src = nullptr, *modMSrc = nullptr;
  const double *mg1FreqSrc = nullptr, *shInputSrc = nullptr, *vp1Src = nullptr;
  const double *vp2Src = nullptr, *addSrc1 = nullptr, *addSrc2 = nullptr;
  const bool *shTrigger = nullptr, *gegTrigger1 = nullptr, *gegTrigger2 = nullptr;

  // Output gains and transport state.
  double finalLeft = 0, finalRight = 0, directLeft = 0, directRight = 0;
  bool transportWasRunning = false;
  bool clockStarted = false;

private:
  void applyEditorRequests();
  void applyResonatorPanel(bool show);
  void applyManualTrigger();
  IGraphics* editor = nullptr;
  void allocateWorkBuffers(int length);
  void reserveProgramStorage();
  void synchronizeClock();
  void renderChunk(double* left, double* right, int pos, int chunk);
  void controlStep(int j);
  void handleController(int cc, int value);
  void reapplyRate(int freqParam, double freq);
  template <typename Fn> void forEachVoice(Fn fn) {
    for (Voice& v : voices) fn(v);
  }
};
