#pragma once
// UTF-8 <-> UTF-16 for the host's fixed-size string fields.
#include "pluginterfaces/base/ftypes.h"

#include <string>

// Writes src into dest (capacity in code units, terminator included), cut at a whole character.
void Utf8ToUtf16(const char* src, Steinberg::char16* dest, int capacity);
std::string Utf16ToUtf8(const Steinberg::char16* src, int maxUnits = 1 << 20);
