// The online version check of the option menu.
#include "plugin/http.h"
#include "plugin/synth.h"

int Synth::checkVersionAgainstWeb() {
  return CheckVersionAgainstWeb(dialogs(), versionCheckBaseUrl, kVersionCheckTimeoutMs);
}
