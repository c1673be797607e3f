// The edit-controller side: parameters as the host sees them, texts, editor and handler.
#include "framework/vst3/midi_mapping.h"
#include "framework/vst3/param_text.h"
#include "framework/vst3/plug_view_factory.h"
#include "framework/vst3/plug_view_link.h"
#include "framework/vst3/utf16.h"
#include "framework/vst3/vst3_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kTextUnits = 128;
constexpr int kMaxInputUnits = 1024;

double clampUnit(double v) {
  return std::isnan(v) ? 0.0 : std::min(std::max(v, 0.0), 1.0);
}
} // namespace

bool Vst3Plugin::IsPlugParam(ParamID id) const {
  return id < static_cast<ParamID>(mPlug->NParams());
}

tresult Vst3Plugin::ReadControllerState(IBStream* /*state*/) {
  return kResultOk;
}
tresult Vst3Plugin::WriteControllerState(IBStream* /*state*/) {
  return kResultOk;
}
tresult PLUGIN_API Vst3Plugin::setComponentState(IBStream* /*state*/) {
  return kResultOk;
}

int32 PLUGIN_API Vst3Plugin::getParameterCount() {
  return mPlug->NParams() + MidiMapping::kNumParams;
}

tresult PLUGIN_API Vst3Plugin::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  const int nPlug = mPlug->NParams();
  if (paramIndex < 0 || paramIndex >= nPlug + MidiMapping::kNumParams) return kInvalidArgument;
  std::memset(&info, 0, sizeof(info));
  if (paramIndex < nPlug) {
    const IParam* param = mPlug->GetParam(paramIndex);
    info.id = static_cast<ParamID>(paramIndex);
    Utf8ToUtf16(param->GetName(), info.title, kTextUnits);
    Utf8ToUtf16(param->GetName(), info.shortTitle, kTextUnits);
    Utf8ToUtf16(param->GetLabel(), info.units, kTextUnits);
    info.stepCount = param->Type() == IParam::kTypeDouble
                         ? 0
                         : static_cast<int32>(std::lround(param->GetMax() - param->GetMin()));
    info.defaultNormalizedValue = param->GetDefault(true);
    info.unitId = kRootUnitId;
    info.flags = ParameterInfo::kCanAutomate;
    if (param->Type() == IParam::kTypeEnum) info.flags |= ParameterInfo::kIsList;
    return kResultOk;
  }
  const int k = paramIndex - nPlug;
  const int channel = k / MidiMapping::kNumbersPerChannel;
  const int number = k % MidiMapping::kNumbersPerChannel;
  info.id = MidiMapping::kFirstParamId + static_cast<ParamID>(k);
  Utf8ToUtf16(MidiMapping::ControllerName(number), info.title, kTextUnits);
  char shortTitle[32];
  if (number == MidiMapping::kPitchBend)
    std::snprintf(shortTitle, sizeof(shortTitle), "PB Ch%d", channel + 1);
  else if (number == MidiMapping::kAftertouch)
    std::snprintf(shortTitle, sizeof(shortTitle), "AT Ch%d", channel + 1);
  else
    std::snprintf(shortTitle, sizeof(shortTitle), "CC%d Ch%d", number, channel + 1);
  Utf8ToUtf16(shortTitle, info.shortTitle, kTextUnits);
  info.defaultNormalizedValue = MidiMapping::DefaultNormalized(number);
  info.unitId = kMidiUnitId + 1 + channel;
  // Hidden: hosts still deliver mapped MIDI to them, but 2080 entries stay out of automation
  // lists and generic editors, where they would bury the instrument's own parameters.
  info.flags = ParameterInfo::kIsHidden;
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                     String128 string) {
  if (!string) return kInvalidArgument;
  std::string text;
  if (IsPlugParam(id)) {
    mPlug->GetParam(static_cast<int>(id))->GetDisplay(valueNormalized, true, text, true);
  } else if (MidiMapping::IsMappingParam(id)) {
    const int value = MidiMapping::NumberOf(id) == MidiMapping::kPitchBend
                          ? MidiMapping::PitchBend14(valueNormalized) - 8192
                          : MidiMapping::ToMidi7(valueNormalized);
    text = std::to_string(value);
  } else {
    return kResultFalse;
  }
  Utf8ToUtf16(text.c_str(), string, kTextUnits);
  return kResultOk;
}

tresult PLUGIN_API Vst3Plugin::getParamValueByString(ParamID id, TChar* string,
                                                     ParamValue& valueNormalized) {
  if (!string) return kInvalidArgument;
  const std::string text = Utf16ToUtf8(string, kMaxInputUnits);
  if (IsPlugParam(id)) {
    const IParam& param = *mPlug->GetParam(static_cast<int>(id));
    double plain = 0.0;
    if (!ParseParamText(param, text.c_str(), plain)) return kResultFalse;
    valueNormalized = param.NormalizeValue(plain);
    return kResultOk;
  }
  if (MidiMapping::IsMappingParam(id)) {
    double number = 0.0;
    if (!ParseNumber(text.c_str(), number)) return kResultFalse;
    valueNormalized = MidiMapping::NumberOf(id) == MidiMapping::kPitchBend
                          ? clampUnit((number + 8192.0) / 16384.0)
                          : clampUnit(number / 127.0);
    return kResultOk;
  }
  return kResultFalse;
}

ParamValue PLUGIN_API Vst3Plugin::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
  if (!IsPlugParam(id)) return valueNormalized;
  const IParam* param = mPlug->GetParam(static_cast<int>(id));
  return param->Constrain(param->ValueFromNormalized(valueNormalized));
}

ParamValue PLUGIN_API Vst3Plugin::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  if (!IsPlugParam(id)) return plainValue;
  return mPlug->GetParam(static_cast<int>(id))->NormalizeValue(plainValue);
}

ParamValue PLUGIN_API Vst3Plugin::getParamNormalized(ParamID id) {
  if (IsPlugParam(id)) return mPlug->GetControllerValue(static_cast<int>(id));
  if (MidiMapping::IsMappingParam(id)) return mMappingValues[id - MidiMapping::kFirstParamId];
  return 0.0;
}

tresult PLUGIN_API Vst3Plugin::setParamNormalized(ParamID id, ParamValue value) {
  if (IsPlugParam(id)) {
    // The controller's side only: hosts send the same change to the processor, which plays and
    // saves what it receives there. A late echo of an older value stays on this side.
    const IParam* param = mPlug->GetParam(static_cast<int>(id));
    mPlug->SetControllerValue(static_cast<int>(id),
                              param->NormalizeValue(param->ValueFromNormalized(clampUnit(value))));
    return kResultOk;
  }
  if (MidiMapping::IsMappingParam(id)) {
    mMappingValues[id - MidiMapping::kFirstParamId] = clampUnit(value);
    return kResultOk;
  }
  return kInvalidArgument;
}

tresult PLUGIN_API Vst3Plugin::setComponentHandler(IComponentHandler* handler) {
  if (handler == mHandler) return kResultOk;
  if (handler) handler->addRef();
  if (mHandler) mHandler->release();
  mHandler = handler;
  return kResultOk;
}

IPlugView* PLUGIN_API Vst3Plugin::createView(FIDString name) {
  const PlugViewFactory factory = GetPlugViewFactory();
  if (!factory || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  IPlugView* view = factory(*mPlug);
  if (auto* link = dynamic_cast<PlugViewLink*>(view)) link->LinkController(this);
  return view;
}

tresult PLUGIN_API Vst3Plugin::setKnobMode(KnobMode /*mode*/) {
  return kResultFalse;
}
tresult PLUGIN_API Vst3Plugin::openHelp(TBool /*onlyCheck*/) {
  return kResultFalse;
}
tresult PLUGIN_API Vst3Plugin::openAboutBox(TBool /*onlyCheck*/) {
  return kResultFalse;
}
