#pragma once
// VST3 strings are UTF-16; the rest of the host speaks UTF-8.
#include <string>

#include "pluginterfaces/base/ftypes.h"

namespace vhost {

std::string toUtf8(const Steinberg::char16* text, size_t maxUnits = 4096);
// Writes at most capacity - 1 units and always terminates.
void toUtf16(const std::string& text, Steinberg::char16* out, size_t capacity);

} // namespace vhost
