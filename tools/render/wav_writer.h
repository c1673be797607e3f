#pragma once
// 32-bit float stereo WAV, samples written as rendered (no normalising, no dither).
#include <string>

#include "tools/render/renderer.h"

namespace vrender {

// Throws vhost::HostError when the file cannot be written.
void writeWav(const std::string& path, const Rendered& audio);

} // namespace vrender
