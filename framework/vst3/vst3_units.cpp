// Units, program names and the MIDI mapping of the single-component object.
#include "framework/vst3/midi_mapping.h"
#include "framework/vst3/utf16.h"
#include "framework/vst3/vst3_plugin.h"

#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// Root, "MIDI CCs", then one unit per MIDI channel.
constexpr int kUnitCount = 2 + MidiMapping::kChannels;
} // namespace

int32 PLUGIN_API Vst3Plugin::getUnitCount() {
  return kUnitCount;
}

tresult PLUGIN_API Vst3Plugin::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex < 0 || unitIndex >= kUnitCount) return kInvalidArgument;
  std::memset(&info, 0, sizeof(info));
  info.programListId = kNoProgramListId;
  if (unitIndex == 0) {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    Utf8ToUtf16("Root", info.name, 128);
  } else if (unitIndex == 1) {
    info.id = kMidiUnitId;
    info.parentUnitId = kRootUnitId;
    Utf8ToUtf16("MIDI CCs", info.name, 128);
  } else {
    char name[16];
    std::snprintf(name, sizeof(name), "CH%i", unitIndex - 1);
    info.id = kMidiUnitId + unitIndex - 1;
    info.parentUnitId = kMidiUnitId;
    Utf8ToUtf16(name, info.name, 128);
  }
  return kResultOk;
}

int32 PLUGIN_API Vst3Plugin::getProgramListCount() {
  return 0;
}

tresult PLUGIN_API Vst3Plugin::getProgramListInfo(int32 /*listIndex*/, ProgramListInfo& /*info*/) {
  return kInvalidArgument;
}

tresult PLUGIN_API Vst3Plugin::getProgramName(ProgramListID listId, int32 programIndex,
                                              String128 name) {
  if (listId != kProgramListId || programIndex < 0 || programIndex >= mPlug->NPresets() || !name)
    return kInvalidArgument;
  Utf8ToUtf16(mPlug->GetPresetName(programIndex).c_str(), name, 128);
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getProgramInfo(ProgramListID /*listId*/, int32 /*programIndex*/,
                                              Vst::CString /*attributeId*/,
                                              String128 /*attributeValue*/) {
  return kResultFalse;
}

tresult PLUGIN_API Vst3Plugin::hasProgramPitchNames(ProgramListID /*listId*/,
                                                    int32 /*programIndex*/) {
  return kResultFalse;
}

tresult PLUGIN_API Vst3Plugin::getProgramPitchName(ProgramListID /*listId*/, int32 /*programIndex*/,
                                                   int16 /*midiPitch*/, String128 /*name*/) {
  return kResultFalse;
}

UnitID PLUGIN_API Vst3Plugin::getSelectedUnit() {
  return kRootUnitId;
}

tresult PLUGIN_API Vst3Plugin::selectUnit(UnitID /*unitId*/) {
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getUnitByBus(MediaType /*type*/, BusDirection /*dir*/,
                                            int32 /*busIndex*/, int32 /*channel*/,
                                            UnitID& /*unitId*/) {
  return kResultFalse;
}

tresult PLUGIN_API Vst3Plugin::setUnitProgramData(int32 /*listOrUnitId*/, int32 /*programIndex*/,
                                                  IBStream* /*data*/) {
  return kResultFalse;
}

tresult PLUGIN_API Vst3Plugin::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                           CtrlNumber midiControllerNumber,
                                                           ParamID& id) {
  uint32_t mapped = 0;
  if (!MidiMapping::ParamIdFor(busIndex, channel, midiControllerNumber, mapped))
    return kResultFalse;
  id = mapped;
  return kResultOk;
}
