#pragma once
// One object that is the VST3 component, audio processor and edit controller of a PluginBase:
// hosts that look for a separate controller find it through queryInterface on the same object.
#include "framework/core/plugin_base.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <atomic>
#include <memory>
#include <vector>

// IComponent and IEditController both declare setState and getState with the same signature;
// these shims give the two meanings separate names so one object can answer both.
class Vst3ComponentStateShim : public Steinberg::Vst::IComponent {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final {
    return ReadComponentState(state);
  }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final {
    return WriteComponentState(state);
  }
  virtual Steinberg::tresult ReadComponentState(Steinberg::IBStream* state) = 0;
  virtual Steinberg::tresult WriteComponentState(Steinberg::IBStream* state) = 0;
};

class Vst3ControllerStateShim : public Steinberg::Vst::IEditController {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final {
    return ReadControllerState(state);
  }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final {
    return WriteControllerState(state);
  }
  virtual Steinberg::tresult ReadControllerState(Steinberg::IBStream* state) = 0;
  virtual Steinberg::tresult WriteControllerState(Steinberg::IBStream* state) = 0;
};

class Vst3Plugin : public Vst3ComponentStateShim,
                   public Steinberg::Vst::IAudioProcessor,
                   public Steinberg::Vst::IProcessContextRequirements,
                   public Vst3ControllerStateShim,
                   public Steinberg::Vst::IEditController2,
                   public Steinberg::Vst::IUnitInfo,
                   public Steinberg::Vst::IMidiMapping,
                   public Steinberg::Vst::ChannelContext::IInfoListener,
                   public Steinberg::Vst::IConnectionPoint,
                   private IHostCallbacks {
public:
  static constexpr Steinberg::Vst::ProgramListID kProgramListId = 65537;
  static constexpr Steinberg::Vst::UnitID kMidiUnitId = 1; // channels follow as 2..17
  static constexpr int kMaxOutChannels = 2;

  // Takes the plug-in over; reference count starts at 1.
  explicit Vst3Plugin(std::unique_ptr<PluginBase> plug);

  PluginBase& Plug() { return *mPlug; }
  // For the editor view: what the host gave us (null before initialize / after terminate).
  Steinberg::FUnknown* GetHostContext() const { return mHostContext; }
  Steinberg::Vst::IComponentHandler* GetComponentHandler() const { return mHandler; }

  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type,
                                          Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type,
                                           Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                           Steinberg::Vst::BusInfo& bus) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type,
                                            Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index,
                                            Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  // The host state: the plug-in's chunk followed by a 32-bit bypass flag.
  Steinberg::tresult ReadComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult WriteComponentState(Steinberg::IBStream* state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir,
                                                  Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IProcessContextRequirements: hosts since SDK 3.7 give only the transport fields asked for.
  Steinberg::uint32 PLUGIN_API getProcessContextRequirements() override;

  // IEditController: its own state is empty, the component state carries everything.
  Steinberg::tresult ReadControllerState(Steinberg::IBStream* state) override;
  Steinberg::tresult WriteControllerState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::int32 PLUGIN_API getParameterCount() override;
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                 Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API
  getParamValueByString(Steinberg::Vst::ParamID id, Steinberg::Vst::TChar* string,
                        Steinberg::Vst::ParamValue& valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(
      Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue valueNormalized) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(
      Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue plainValue) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API
  setComponentHandler(Steinberg::Vst::IComponentHandler* handler) override;
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IEditController2
  Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) override;
  Steinberg::tresult PLUGIN_API openHelp(Steinberg::TBool onlyCheck) override;
  Steinberg::tresult PLUGIN_API openAboutBox(Steinberg::TBool onlyCheck) override;

  // IUnitInfo
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                            Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) override;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) override;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                    Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type,
                                             Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) override;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId,
                                                   Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) override;

  // IMidiMapping
  Steinberg::tresult PLUGIN_API getMidiControllerAssignment(
      Steinberg::int32 busIndex, Steinberg::int16 channel,
      Steinberg::Vst::CtrlNumber midiControllerNumber, Steinberg::Vst::ParamID& id) override;

  // ChannelContext::IInfoListener
  Steinberg::tresult PLUGIN_API
  setChannelContextInfos(Steinberg::Vst::IAttributeList* list) override;

  // IConnectionPoint: nothing to exchange, both ends are this object.
  Steinberg::tresult PLUGIN_API connect(Steinberg::Vst::IConnectionPoint* other) override;
  Steinberg::tresult PLUGIN_API disconnect(Steinberg::Vst::IConnectionPoint* other) override;
  Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

private:
  ~Vst3Plugin() override;

  // IHostCallbacks
  void BeginEdit(int paramId) override;
  void PerformEdit(int paramId, double normalized) override;
  void EndEdit(int paramId) override;
  void ParamValuesChanged() override;

  // A part of the host block, at most the announced maximum block size long.
  struct Piece {
    int total = 0;
    int start = 0;
    int length = 0;
    bool last = true;
  };

  bool IsPlugParam(Steinberg::Vst::ParamID id) const;
  void TakeTransport(const Steinberg::Vst::ProcessContext* context);
  // Applies the plug-in's parameters (with the first piece) and turns the MIDI-mapping
  // changes that fall into the piece into MIDI messages.
  void ApplyParamChanges(Steinberg::Vst::IParameterChanges* changes, const Piece& piece);
  void DeliverEvents(Steinberg::Vst::IEventList* events, const Piece& piece);
  void RenderPiece(Steinberg::Vst::ProcessData& data, const Piece& piece);
  void SendMidiOut(Steinberg::Vst::IEventList* events, int start);
  // Parameter changes the plug-in made on the audio thread (MIDI learn).
  void SendParamOut(Steinberg::Vst::IParameterChanges* changes, int start);

  std::atomic<Steinberg::int32> mRefCount{1};
  std::unique_ptr<PluginBase> mPlug;
  Steinberg::FUnknown* mHostContext = nullptr;
  Steinberg::Vst::IComponentHandler* mHandler = nullptr;

  bool mInitialized = false;
  bool mSetUp = false;
  int mMaxBlock = 0;
  Steinberg::Vst::SpeakerArrangement mOutArrangement;
  // The engine renders doubles: host buffers of floats (or missing ones) go through these.
  std::vector<double> mScratch[kMaxOutChannels];
  // Controller-side values of the MIDI-mapping parameters.
  std::vector<double> mMappingValues;
};
