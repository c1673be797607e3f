#pragma once
// One instance of a VST3 audio module, connected as a DAW connects it: component and edit
// controller initialised with the host context, controller found on the component or created
// from its class ID and connected, buses activated, processing set up, blocks processed with
// parameter changes, note events and a transport, state saved and restored.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "tools/host/bundle.h"
#include "tools/host/event_list.h"
#include "tools/host/host_context.h"
#include "tools/host/param_changes.h"
#include "tools/host/transport.h"

namespace vhost {

struct ParamInfo {
  Steinberg::Vst::ParamID id = 0;
  std::string title, shortTitle, units;
  int32_t stepCount = 0;
  double defaultNormalized = 0.0;
  int32_t flags = 0;
  int32_t unitId = 0;
  std::string defaultDisplay; // the controller's text for the default value
};

struct ProcessConfig {
  double sampleRate = 48000.0;
  int32_t maxBlock = 512;
  bool use64 = false;
  bool offline = false;
};

// The MIDI controller numbers VST3 gives channel aftertouch and pitch bend.
constexpr int kAftertouchController = 128;
constexpr int kPitchBendController = 129;

class PluginInstance {
public:
  // Creates the first "Audio Module Class" of the bundle. Throws HostError.
  explicit PluginInstance(const Bundle& bundle, const std::string& hostName = "varnel-render");
  PluginInstance(const Bundle& bundle, const ClassInfo& cls, const std::string& hostName);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const ClassInfo& classInfo() const { return classInfo_; }
  bool singleComponent() const { return singleComponent_; }
  Steinberg::Vst::IComponent* component() const { return component_; }
  Steinberg::Vst::IAudioProcessor* processor() const { return processor_; }
  Steinberg::Vst::IEditController* controller() const { return controller_; }
  ComponentHandler& handler() { return *handler_; }

  // Parameters --------------------------------------------------------------------------------
  // Every parameter the controller reports, in its order.
  const std::vector<ParamInfo>& allParameters() const { return params_; }
  // What a user sees: without hidden parameters and without the stand-ins that MIDI
  // controllers are mapped to.
  std::vector<ParamInfo> parameters() const;
  const ParamInfo* findParameter(const std::string& title) const;
  const ParamInfo* findParameter(Steinberg::Vst::ParamID id) const;
  std::string displayText(Steinberg::Vst::ParamID id, double normalized) const;
  bool textToNormalized(Steinberg::Vst::ParamID id, const std::string& text, double& out) const;
  double plainToNormalized(Steinberg::Vst::ParamID id, double plain) const;
  double normalizedToPlain(Steinberg::Vst::ParamID id, double normalized) const;
  double currentNormalized(Steinberg::Vst::ParamID id) const;
  // Queues a change for the next block (and tells the controller, as a DAW's automation does).
  void setParameter(Steinberg::Vst::ParamID id, double normalized, int32_t sampleOffset = 0);

  // Processing ----------------------------------------------------------------------------------
  void start(const ProcessConfig& config);
  void stop();
  bool running() const { return running_; }
  const ProcessConfig& config() const { return config_; }
  Transport& transport() { return transport_; }

  // Events for the next block. Velocities and values are MIDI's 0..127 (bend 0..16383).
  void noteOn(int channel, int pitch, int velocity, int32_t sampleOffset);
  void noteOff(int channel, int pitch, int velocity, int32_t sampleOffset);
  void polyPressure(int channel, int pitch, int value, int32_t sampleOffset);
  // Controllers, aftertouch and pitch bend go through the controller's MIDI mapping; false
  // when the plug-in maps nothing to them.
  bool midiController(int channel, int number, double normalized, int32_t sampleOffset);
  bool controlChange(int channel, int number, int value, int32_t sampleOffset);
  bool channelPressure(int channel, int value, int32_t sampleOffset);
  bool pitchBend(int channel, int value14, int32_t sampleOffset);
  bool hasMidiMapping() const { return midiMapping_ != nullptr; }
  // The parameter a controller number (0..129) on channel 0..15 of event bus 0 maps to.
  bool midiMappingFor(int channel, int number, Steinberg::Vst::ParamID& id) const;

  // Processes `frames` (1..maxBlock; 0 flushes parameter changes only).
  void process(int32_t frames);
  int32_t outputChannels() const;
  // Sample i of the last block on output channel ch (a mono bus serves both sides).
  double sample(int ch, int32_t i) const;
  const std::vector<Steinberg::Vst::Event>& outputEvents() const { return outEvents_->events(); }

  // State ---------------------------------------------------------------------------------------
  std::vector<uint8_t> getState() const;
  bool setState(const std::vector<uint8_t>& bytes);
  std::vector<uint8_t> getControllerState() const;
  bool setControllerState(const std::vector<uint8_t>& bytes);

  // Program names of a program list (IUnitInfo), stopping at the first index the plug-in refuses.
  std::vector<std::string> programNames(Steinberg::Vst::ProgramListID list,
                                        int32_t maxCount = 128) const;

private:
  void create(const Bundle& bundle, const ClassInfo& cls, const std::string& hostName);
  void connectController(const Bundle& bundle);
  void readParameters();
  void setupBuses();
  void allocateBuffers();
  void pullHandlerEdits();
  void teardown();

  ClassInfo classInfo_;
  HostApplication* host_ = nullptr;
  ComponentHandler* handler_ = nullptr;
  Steinberg::Vst::IComponent* component_ = nullptr;
  Steinberg::Vst::IAudioProcessor* processor_ = nullptr;
  Steinberg::Vst::IEditController* controller_ = nullptr;
  Steinberg::Vst::IMidiMapping* midiMapping_ = nullptr;
  Steinberg::Vst::IUnitInfo* unitInfo_ = nullptr;
  Steinberg::Vst::IConnectionPoint* componentPoint_ = nullptr;
  Steinberg::Vst::IConnectionPoint* controllerPoint_ = nullptr;
  bool singleComponent_ = false;
  bool componentInitialized_ = false;
  bool controllerInitialized_ = false;
  bool active_ = false;
  bool running_ = false;

  std::vector<ParamInfo> params_;
  std::set<Steinberg::Vst::ParamID> midiProxyIds_;

  ProcessConfig config_;
  Transport transport_;
  ParameterChanges* inChanges_ = nullptr;
  ParameterChanges* outChanges_ = nullptr;
  EventList* inEvents_ = nullptr;
  EventList* outEvents_ = nullptr;

  struct BusBuffers {
    std::vector<std::vector<float>> data32;
    std::vector<std::vector<double>> data64;
    std::vector<float*> ptr32;
    std::vector<double*> ptr64;
  };
  std::vector<BusBuffers> inBuffers_, outBuffers_;
  std::vector<Steinberg::Vst::AudioBusBuffers> inBuses_, outBuses_;
};

} // namespace vhost
