// Program operations of the synthesizer: user-driven switching, init, copy and paste, and the
// bank loaded at start. Each owns the program store for its whole run, so a MIDI program change
// on the audio thread waits for the next block rather than falling in between.
#include "plugin/synth.h"
#include "store/fxb_file.h"

void Synth::changePreset(int index) {
  if (index < 0 || index >= NPresets()) return;
  const ProgramStoreLock store(*this);
  ModifyCurrentPreset();
  BeginInformHostOfParamChange(kProgramParamId);
  InformHostOfParamChange(kProgramParamId, index / 63.0);
  EndInformHostOfParamChange(kProgramParamId);
  RestorePreset(index); // host and editor are told once the store is let go
}

void Synth::initPreset() {
  const ProgramStoreLock store(*this);
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    SetParameterValue(i, param->NormalizeValue(param->GetDefault()));
  }
  ModifyCurrentPreset("Init");
  SendParamValuesToUI();
}

void Synth::copyPreset() {
  const ProgramStoreLock store(*this);
  copySource = GetCurrentPresetIdx();
  copyBuffer.Clear();
  SerializeState(copyBuffer);
}

void Synth::pastePreset() {
  if (copyBuffer.Size() == 0) return;
  const ProgramStoreLock store(*this);
  UnserializeState(copyBuffer, 0);
  ModifyCurrentPreset(GetPresetName(copySource).c_str());
  RequestParamValuesRefresh();
}

std::string Synth::builtInBankPath() const {
  return pluginFolder + "Varnel.vst3/Contents/Resources/init.fxb";
}

void Synth::initAllPrograms() {
  if (!startupBank.empty() && LoadBankFromFXB(*this, startupBank)) return;
  startupBank.clear();
  LoadBankFromFXB(*this, builtInBankPath());
}
