// Program operations of the synthesizer: user-driven switching, init, copy and paste, and the
// bank loaded at start.
#include "plugin/synth.h"
#include "store/fxb_file.h"

void Synth::changePreset(int index) {
  if (index < 0 || index >= NPresets()) return;
  ModifyCurrentPreset();
  BeginInformHostOfParamChange(kProgramParamId);
  InformHostOfParamChange(kProgramParamId, index / 63.0);
  EndInformHostOfParamChange(kProgramParamId);
  RestorePreset(index);
  SendParamValuesToUI();
}

void Synth::initPreset() {
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    SetParameterValue(i, param->NormalizeValue(param->GetDefault()));
  }
  ModifyCurrentPreset("Init");
  SendParamValuesToUI();
}

void Synth::copyPreset() {
  copySource = GetCurrentPresetIdx();
  copyBuffer.Clear();
  SerializeState(copyBuffer);
}

void Synth::pastePreset() {
  if (copyBuffer.Size() == 0) return;
  UnserializeState(copyBuffer, 0);
  ModifyCurrentPreset(GetPresetName(copySource).c_str());
  SendParamValuesToUI();
}

std::string Synth::builtInBankPath() const {
  return pluginFolder + "Varnel.vst3/Contents/Resources/init.fxb";
}

void Synth::initAllPrograms() {
  if (!startupBank.empty() && LoadBankFromFXB(*this, startupBank)) return;
  startupBank.clear();
  LoadBankFromFXB(*this, builtInBankPath());
}
