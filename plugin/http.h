#pragma once
// Where the plug-in asks for the newest version, and how long it waits for the answer.
#include "store/version_check.h"

constexpr const char* kVarnelVersionCheckUrl = kVersionCheckBaseUrl;
// The check blocks the editor; a host must never hang on a slow or silent server.
constexpr long kVersionCheckTimeoutMs = 5000;
