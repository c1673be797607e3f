#include "plugin/synth.h"

#include "framework/platform/paths.h"
#include "framework/platform/zenity_dialogs.h"
#include "plugin/http.h"

#include <algorithm>

namespace {
IPlatformDialogs& desktopDialogs() {
  static ZenityDialogs dialogs;
  return dialogs;
}
} // namespace

Synth::Synth(const Config& config) : Synth(config, PluginFolder()) {}

Synth::Synth(const Config& config, const std::string& bundleFolder)
    : PluginBase(config), versionCheckBaseUrl(kVarnelVersionCheckUrl), mDialogs(&desktopDialogs()) {
  for (std::atomic<int>& entry : ccMap) entry.store(-1, std::memory_order_relaxed);
  pluginFolder = bundleFolder;
  setUpConfiguration();
}

Synth::~Synth() = default;

void Synth::setDialogs(IPlatformDialogs* dialogs) {
  mDialogs = dialogs ? dialogs : &desktopDialogs();
}

void Synth::OnReset() {
  midiQueue.reserveForBlock(GetBlockSize());
  clearKeyBuffer();
  midiLearnActive.cancel();
  // Below 1000 Hz the period would be 0 samples and the engine would never advance.
  controlPeriod = std::max(static_cast<int>(GetSampleRate()) / 1000, 1);
  periodRemaining = 0;
}

void Synth::OnActivate(bool active) {
  if (active) OnParamReset(EParamSource::kHost);
}

void Synth::addPressedKey(int key, int velocity) {
  if (key < 0 || key >= kNumKeys) return;
  if (velocity <= 0) {
    removePressedKey(key);
    return;
  }
  if (mPressedKeys[key] == 0) ++mPressedKeyCount;
  mPressedKeys[key] = velocity;
}

void Synth::removePressedKey(int key) {
  if (key < 0 || key >= kNumKeys || mPressedKeys[key] == 0) return;
  mPressedKeys[key] = 0;
  --mPressedKeyCount;
}

void Synth::clearKeyBuffer() {
  mPressedKeys.fill(0);
  mPressedKeyCount = 0;
}
