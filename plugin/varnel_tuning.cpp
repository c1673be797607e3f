// Micro-tuning: the built-in temperaments and Scala import and export of the two tables.
#include "framework/platform/platform_dialogs.h"
#include "framework/platform/save_file_name.h"
#include "plugin/varnel.h"
#include "store/scala_file.h"
#include "store/tuning_presets.h"

#include <cmath>

namespace {

constexpr const char* kScalaDefaultName = "Varnel_tuning";

FileDialogRequest scalaRequest(const std::string& title, const std::string& startFolder) {
  FileDialogRequest request;
  request.title = title;
  request.startFolder = startFolder;
  request.filters.push_back({"Scala scale files", {"*.scl"}});
  return request;
}

// The folder of a chosen file, with the trailing "/" the next dialog starts from.
std::string folderWithSlash(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

int Varnel::tuningParam(int table, int degree) {
  // Degree k is the pitch class k semitones above A; the parameters run from C.
  return (table == 0 ? kTune1C : kTune2C) + (degree + 9) % 12;
}

void Varnel::setMicroTuning(int table, int preset) {
  if (preset < 0 || preset >= kMicroTuningPresetCount) return;
  for (int k = 1; k <= kMicroTuningDegrees; ++k) {
    const int index = tuningParam(table, k);
    SetParameterValue(index,
                      GetParam(index)->NormalizeValue(MicroTuningPresetDeviation(preset, k)));
  }
}

int Varnel::getMicroTuning(int table) const {
  double deviations[kMicroTuningDegrees];
  for (int k = 1; k <= kMicroTuningDegrees; ++k)
    deviations[k - 1] = GetParam(tuningParam(table, k))->GetValue();
  return FindMicroTuningPreset(deviations);
}

void Varnel::loadMicroTuning(int table) {
  const std::string path = dialogs().ChooseFileToOpen(scalaRequest("Load Tuning", homePath));
  if (path.empty()) return;
  homePath = folderWithSlash(path);

  ScalaScaleFile file(path.c_str());
  if (!file.IsOpen()) {
    dialogs().ShowMessage("Cannot load file!", "Error");
    return;
  }
  ScalaScale scale;
  if (!ReadScalaScale(file, scale)) return; // no usable note count: the table stays
  for (int k = 1; k <= scale.pitchCount; ++k) {
    const double ratio = scale.ratios[k - 1];
    if (!(ratio > 0.0)) continue; // an invalid pitch line keeps its degree
    const int index = tuningParam(table, k);
    const double cents = ScalaRatioToCents(ratio) - 100.0 * k;
    SetParameterValue(index, GetParam(index)->NormalizeValue(cents));
  }
}

void Varnel::saveMicroTuning(int table) {
  FileDialogRequest request = scalaRequest("Save Tuning", homePath);
  request.defaultName = kScalaDefaultName;
  const std::string path = ChooseFileToSaveWithExtension(dialogs(), request);
  if (path.empty()) return;
  homePath = folderWithSlash(path);

  ModifyCurrentPreset();
  double cents[kMicroTuningDegrees];
  for (int k = 1; k <= kMicroTuningDegrees; ++k)
    cents[k - 1] = 100.0 * k + GetParam(tuningParam(table, k))->GetValue();
  if (!WriteScalaFile(path, cents)) dialogs().ShowMessage("Cannot save file!", "Error");
}
